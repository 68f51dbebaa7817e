#include <gtest/gtest.h>

#include "common/KeyedCollection.h"
#include "tests/support/TestEnvironment.h"

namespace {

TEST(KeyedCollection, KeepsTheOrderOfAddingAndEachKeyOnce) {
    KeyedCollection queue;
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_TRUE(queue.add(QStringLiteral("{B}"), QStringLiteral("second guest")));
    EXPECT_TRUE(queue.add(QStringLiteral("{A}"), QStringLiteral("first guest")));
    EXPECT_TRUE(queue.add(QStringLiteral("{C}"), QStringLiteral("third guest")));
    // A key already there, in any letter case, changes nothing.
    EXPECT_FALSE(queue.add(QStringLiteral("{a}"), QStringLiteral("other")));
    EXPECT_EQ(queue.count(), 3);
    EXPECT_EQ(queue.keys(), (QStringList{"{B}", "{A}", "{C}"}));
    EXPECT_EQ(queue.item(QStringLiteral("{a}")), QStringLiteral("first guest"));
    EXPECT_TRUE(queue.item(QStringLiteral("{D}")).isNull());
    EXPECT_TRUE(queue.contains(QStringLiteral("{c}")));
    EXPECT_FALSE(queue.contains(QStringLiteral("{D}")));
}

TEST(KeyedCollection, AWalkMayRemoveWhatItHandled) {
    KeyedCollection queue;
    for (const char* key : {"{1}", "{2}", "{3}", "{4}"}) queue.add(QLatin1String(key), QLatin1String(key));
    QStringList handled;
    for (const QString& key : queue.keys()) {
        handled << queue.item(key);
        if (key != QStringLiteral("{3}")) {  // {3} waits for the next walk
            EXPECT_TRUE(queue.remove(key));
        }
    }
    EXPECT_EQ(handled, (QStringList{"{1}", "{2}", "{3}", "{4}"}));
    EXPECT_EQ(queue.keys(), QStringList{"{3}"});
    EXPECT_FALSE(queue.remove(QStringLiteral("{1}")));
    // A removed key may come back, at the end.
    EXPECT_TRUE(queue.add(QStringLiteral("{1}"), QStringLiteral("again")));
    EXPECT_EQ(queue.keys(), (QStringList{"{3}", "{1}"}));
    queue.clear();
    EXPECT_EQ(queue.count(), 0);
}

}  // namespace
