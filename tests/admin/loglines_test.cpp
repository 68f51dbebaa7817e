// The lines of a log as the activity viewer keeps them: where each line
// starts (built from bytes as they arrive, in a compact store) and the text
// read back from the file while the service goes on writing it.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <vector>

#include "admin/LineStarts.h"
#include "admin/LogLineIndex.h"
#include "admin/LogLines.h"
#include "common/ErrorNumbers.h"

namespace {

// Where each line of `text` starts and ends (its line end included), the way
// the index must find them.
struct Expected {
    std::vector<qint64> starts, ends;
    qint64 longest = 0;
};
Expected linesOf(const QByteArray& text) {
    Expected e;
    qint64 start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf('\n', start);
        const qint64 end = lf < 0 ? text.size() : lf + 1;
        e.starts.push_back(start);
        e.ends.push_back(end);
        e.longest = std::max(e.longest, end - start);
        start = end;
    }
    return e;
}

void expectIndexOf(const LogLineIndex& index, const QByteArray& text, const std::string& context) {
    const Expected e = linesOf(text);
    ASSERT_EQ(index.lineCount(), qsizetype(e.starts.size())) << context;
    for (std::size_t i = 0; i < e.starts.size(); ++i) {
        EXPECT_EQ(index.lineStart(qsizetype(i)), e.starts[i]) << context << " line " << i;
        EXPECT_EQ(index.lineEnd(qsizetype(i)), e.ends[i]) << context << " line " << i;
    }
    EXPECT_EQ(index.size(), text.size()) << context;
    EXPECT_EQ(index.longestLine(), e.longest) << context;
}

// Lines of different lengths, an empty one, CR LF and LF ends, and a last line without its end.
const QByteArray kSample = "12/6/2026 7:05:09 AM,1011,SYNC_START,,,Sync started\r\n\r\nab\nROOM 214\r\nlast";

}  // namespace

TEST(LogLineIndexTest, FindsTheSameLinesHoweverTheBytesArrive) {
    for (qsizetype a = 0; a <= kSample.size(); ++a) {
        for (qsizetype b = a; b <= kSample.size(); b += 3) {
            LogLineIndex index;
            index.add(QByteArrayView(kSample).first(a));
            index.add(QByteArrayView(kSample).sliced(a, b - a));
            index.add(QByteArrayView(kSample).sliced(b));
            expectIndexOf(index, kSample, "split at " + std::to_string(a) + " and " + std::to_string(b));
        }
    }
}

TEST(LogLineIndexTest, AnEmptyFileHasNoLinesAndALastLineWithoutItsEndIsOne) {
    LogLineIndex index;
    index.add(QByteArrayView());
    EXPECT_EQ(index.lineCount(), 0);
    EXPECT_EQ(index.longestLine(), 0);

    index.add("first\r\n");
    EXPECT_EQ(index.lineCount(), 1);  // no empty line after the last line end
    index.add("sec");
    EXPECT_EQ(index.lineCount(), 2);
    EXPECT_EQ(index.lineStart(1), 7);
    EXPECT_EQ(index.lineEnd(1), 10);
    index.add("ond line grows longest");
    EXPECT_EQ(index.lineCount(), 2);
    EXPECT_EQ(index.lineEnd(1), 32);
    EXPECT_EQ(index.longestLine(), 25);  // the open last line counts as it grows
}

TEST(LogLineIndexTest, RollingBackForgetsWhatWasAddedSinceTheMark) {
    LogLineIndex index;
    index.add("one\r\ntw");
    const LogLineIndex::Mark mark = index.mark();
    index.add("o\r\nthree is the longest line\r\nfour\r\n");
    index.rollBack(mark);
    expectIndexOf(index, "one\r\ntw", "rolled back");
    // Going on from the mark gives what one pass would have.
    index.add("o and more\nfive\n");
    expectIndexOf(index, "one\r\ntwo and more\nfive\n", "after the roll-back");

    // Back to a mark taken after a line end: the next bytes begin a line again.
    const LogLineIndex::Mark atLineEnd = index.mark();
    index.add("six");
    index.rollBack(atLineEnd);
    index.add("seven\n");
    expectIndexOf(index, "one\r\ntwo and more\nfive\nseven\n", "rolled back to a line end");
}

TEST(LineStartsTest, KeepsOffsetsFarApartAndManyInFourBytesEach) {
    // Runs fill up and distances beyond 32 bits start new runs.
    std::vector<qint64> expected;
    LineStarts starts;
    std::mt19937_64 random(7);
    qint64 offset = 0;
    for (int i = 0; i < 200000; ++i) {
        offset += (i % 50000 == 49999) ? qint64(5) << 30 : qint64(1 + random() % 300);
        expected.push_back(offset);
        starts.append(offset);
    }
    ASSERT_EQ(starts.size(), qsizetype(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(starts.at(qsizetype(i)), expected[i]) << i;
    EXPECT_EQ(starts.last(), expected.back());

    // Cut inside a run, at a run's start and to nothing; it goes on from there.
    for (const qsizetype size : {qsizetype(150001), qsizetype(131072), qsizetype(49999), qsizetype(0)}) {
        starts.truncate(size);
        ASSERT_EQ(starts.size(), size);
        EXPECT_EQ(starts.last(), size > 0 ? expected[std::size_t(size - 1)] : -1);
        if (size > 0) {
            EXPECT_EQ(starts.at(size - 1), expected[std::size_t(size - 1)]);
        }
    }
    starts.append(10);
    starts.append(qint64(9) << 32);
    EXPECT_EQ(starts.at(0), 10);
    EXPECT_EQ(starts.at(1), qint64(9) << 32);

    LineStarts dense;
    for (qint64 i = 0; i < 1000000; ++i) dense.append(i * 80);
    EXPECT_LT(dense.memoryBytes(), 4300000);  // a million lines in about 4 MB
    EXPECT_EQ(dense.at(999999), 999999 * 80);
}

class LogLinesTest : public ::testing::Test {
protected:
    QString log() const { return dir.filePath(QStringLiteral("VoxarenStavio_Log_20261206_07_05_09.TXT")); }
    void write(const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QFile file(log());
        ASSERT_TRUE(file.open(mode));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void append(const QByteArray& bytes) { write(bytes, QIODevice::Append); }
    static QStringList linesOf(const LogLines& lines) {
        QStringList all;
        for (qsizetype i = 0; i < lines.count(); ++i) all << lines.line(i);
        return all;
    }

    QTemporaryDir dir;
};

TEST_F(LogLinesTest, FollowsAppendsLineByLineAndAsALastLineGrows) {
    write("12/6/2026 7:05:09 AM,1011,SYNC_START,,,Sync started\r\n");
    LogLines lines(log());
    LogLines::Change change = lines.refresh();
    EXPECT_TRUE(change.restarted);
    EXPECT_TRUE(change.grew);
    EXPECT_EQ(linesOf(lines), QStringList{QStringLiteral("12/6/2026 7:05:09 AM,1011,SYNC_START,,,Sync started")});

    change = lines.refresh();
    EXPECT_FALSE(change.restarted);
    EXPECT_FALSE(change.grew);

    append("12/6/2026 7:05:11 AM,1003,CHECK_IN,214,,New mailbox");  // flushed halfway
    change = lines.refresh();
    EXPECT_FALSE(change.restarted);
    EXPECT_TRUE(change.grew);
    EXPECT_EQ(lines.count(), 2);
    EXPECT_EQ(lines.line(1), QStringLiteral("12/6/2026 7:05:11 AM,1003,CHECK_IN,214,,New mailbox"));

    append(" created for ANNA LEE\r\n12/6/2026 7:05:12 AM,1020,ROOM_UPDATE,214,,x\r\n");
    lines.refresh();
    EXPECT_EQ(linesOf(lines), (QStringList{QStringLiteral("12/6/2026 7:05:09 AM,1011,SYNC_START,,,Sync started"),
                                           QStringLiteral("12/6/2026 7:05:11 AM,1003,CHECK_IN,214,,New mailbox created for ANNA LEE"),
                                           QStringLiteral("12/6/2026 7:05:12 AM,1020,ROOM_UPDATE,214,,x")}));
    EXPECT_EQ(lines.text(1, 2), QStringLiteral("12/6/2026 7:05:11 AM,1003,CHECK_IN,214,,New mailbox created for ANNA LEE\n"
                                               "12/6/2026 7:05:12 AM,1020,ROOM_UPDATE,214,,x\n"));
    EXPECT_EQ(lines.longestLine(), 74);  // its line end included
}

TEST_F(LogLinesTest, HoldsBackACrLfOrACharacterSplitAcrossWrites) {
    write("Jürgen\r");
    LogLines lines(log());
    lines.refresh();
    EXPECT_EQ(linesOf(lines), QStringList{QStringLiteral("Jürgen")});
    EXPECT_EQ(lines.text(0, 0), QStringLiteral("Jürgen"));  // no CR of its own

    append("\n\xE2\x82");  // the line end completed, a euro sign begun
    lines.refresh();
    EXPECT_EQ(linesOf(lines), QStringList{QStringLiteral("Jürgen")});
    EXPECT_EQ(lines.text(0, 0), QStringLiteral("Jürgen\n"));

    append("\xAC 5\r\n");
    lines.refresh();
    EXPECT_EQ(linesOf(lines), (QStringList{QStringLiteral("Jürgen"), QStringLiteral("€ 5")}));
    EXPECT_EQ(lines.text(0, 1), QStringLiteral("Jürgen\n€ 5\n"));
}

TEST_F(LogLinesTest, AnEmptyLogHasNoLinesUntilTheServiceWrites) {
    write("");
    LogLines lines(log());
    const LogLines::Change change = lines.refresh();
    EXPECT_TRUE(change.restarted);
    EXPECT_FALSE(change.grew);
    EXPECT_EQ(lines.count(), 0);
    EXPECT_EQ(lines.text(0, lines.count() - 1), QString());
    EXPECT_EQ(lines.longestLine(), 0);

    append("\r\n\r\nthird");  // two empty lines, then one without its end
    lines.refresh();
    EXPECT_EQ(linesOf(lines), (QStringList{QString(), QString(), QStringLiteral("third")}));
}

TEST_F(LogLinesTest, AReplacedOrShortenedLogIsReadAnew) {
    write("old 1\r\nold 2\r\nold 3\r\n");
    LogLines lines(log());
    lines.refresh();

    // Cut short in place.
    write("cut\r\n");
    LogLines::Change change = lines.refresh();
    EXPECT_TRUE(change.restarted);
    EXPECT_EQ(linesOf(lines), QStringList{QStringLiteral("cut")});

    // Rewritten in place, longer than before: the bytes before the old end differ.
    write("rewritten 1\r\nrewritten 2\r\n");
    change = lines.refresh();
    EXPECT_TRUE(change.restarted);
    EXPECT_EQ(linesOf(lines), (QStringList{QStringLiteral("rewritten 1"), QStringLiteral("rewritten 2")}));

    // Another file moved over it: the lines shown stay those of the old file until the refresh.
    const QString other = dir.filePath(QStringLiteral("other.TXT"));
    {
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("new A\r\nnew B\r\nnew C\r\n");
    }
    ASSERT_TRUE(QFile::remove(log()) && QFile::rename(other, log()));
    EXPECT_EQ(lines.line(1), QStringLiteral("rewritten 2"));
    change = lines.refresh();
    EXPECT_TRUE(change.restarted);
    EXPECT_EQ(linesOf(lines), (QStringList{QStringLiteral("new A"), QStringLiteral("new B"), QStringLiteral("new C")}));
}

TEST_F(LogLinesTest, AFailedReadKeepsTheLinesShown) {
    write("kept 1\r\nkept 2\r\n");
    LogLines lines(log());
    lines.refresh();
    ASSERT_TRUE(QFile::remove(log()));
    try {
        lines.refresh();
        ADD_FAILURE() << "a missing log was read";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
    }
    EXPECT_EQ(linesOf(lines), (QStringList{QStringLiteral("kept 1"), QStringLiteral("kept 2")}));

    write("back\r\n");
    EXPECT_TRUE(lines.refresh().restarted);
    EXPECT_EQ(linesOf(lines), QStringList{QStringLiteral("back")});
}

TEST_F(LogLinesTest, LinesAcrossTheReadBlocksComeOutWhole) {
    // Over a mebibyte, read in blocks: a four-byte character straddles the first
    // block's end, a CR LF the second's, and the lines are of many lengths.
    QByteArray content;
    QStringList expected;
    std::mt19937 random(11);
    const auto addLine = [&](const QString& line) {
        content += line.toUtf8() + "\r\n";
        expected << line;
    };
    while (content.size() < (1 << 20) - 200) addLine(QString(int(random() % 150), QLatin1Char('x')) + QStringLiteral(" ü"));
    addLine(QString((1 << 20) - content.size() - 2, QLatin1Char('y')) + QStringLiteral("𝄞 clef"));
    while (content.size() < (2 << 20) - 200) addLine(QStringLiteral("line %1 €").arg(expected.size()));
    addLine(QString((2 << 20) - content.size() - 1, QLatin1Char('z')));
    addLine(QStringLiteral("the end"));
    ASSERT_EQ(content.mid((1 << 20) - 2, 4), "\xF0\x9D\x84\x9E");
    ASSERT_EQ(content.mid((2 << 20) - 1, 2), "\r\n");

    write(content);
    LogLines lines(log());
    lines.refresh();
    EXPECT_EQ(linesOf(lines), expected);
    EXPECT_EQ(lines.text(0, lines.count() - 1), QString::fromUtf8(content).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    expectIndexOf(lines.index(), content, "blocks");

    // What was held back between blocks was read as it is in the file: the
    // next refresh knows the file for the same one and reads only the new line.
    append("appended\r\n");
    const LogLines::Change change = lines.refresh();
    EXPECT_FALSE(change.restarted);
    EXPECT_EQ(lines.count(), expected.size() + 1);
    EXPECT_EQ(lines.line(lines.count() - 1), QStringLiteral("appended"));
}
