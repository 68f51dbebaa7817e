#include "admin/windows/frmActivityViewer.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "admin/LogLines.h"
#include "admin/core/Prompt.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/LogLineView.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/SettingsTable.h"

using modLocalize::myLoadResString;

namespace {
// Sizes in twips: the smallest window, and a first size that shows a page of the log.
constexpr int kMinWidth = 8000;
constexpr int kMinHeight = 2600;
constexpr int kStartWidth = 12000;
constexpr int kStartHeight = 6600;
constexpr int kRefreshMs = 2000;

// The design font "Courier New", or the machine's own fixed-pitch font where it is missing.
QFont designFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), font.family()});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}
}  // namespace

frmActivityViewer::frmActivityViewer(QWidget* parent) : QWidget(parent, Qt::Window), LocalizedWindow(this) {
    setObjectName(QStringLiteral("frmActivityViewer"));
    myRTF = named(new LogLineView(this), "myRTF");
    myRTF->setFont(designFont());
    chkAlwaysOnTop = named(new QCheckBox(this), "chkAlwaysOnTop");
    cmdPause = named(new QPushButton(this), "cmdPause");
    cmdExit = named(new QPushButton(this), "cmdExit");
    Timer = named(new QTimer(this), "Timer");
    Timer->setInterval(kRefreshMs);

    connect(Timer, &QTimer::timeout, this, &frmActivityViewer::Timer_Timer);
    connect(cmdPause, &QPushButton::clicked, this, &frmActivityViewer::cmdPause_Click);
    connect(chkAlwaysOnTop, &QCheckBox::clicked, this, &frmActivityViewer::chkAlwaysOnTop_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmActivityViewer::cmdExit_Click);

    // The log above a strip along the bottom: the check box at the left, the buttons at the right.
    auto* strip = new QHBoxLayout;
    strip->addWidget(chkAlwaysOnTop);
    strip->addStretch();
    strip->addWidget(cmdPause);
    strip->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(myRTF, 1);
    layout->addLayout(strip);

    setMinimumSize(twips(kMinWidth), twips(kMinHeight));
    resize(twips(kStartWidth), twips(kStartHeight));
    Form_Load();
}

frmActivityViewer::~frmActivityViewer() {
    myRTF->setLines(nullptr);  // the lines go before the view that shows them
}

QString frmActivityViewer::logFile() const { return m_log ? m_log->path() : QString(); }

void frmActivityViewer::Form_Load() {
    ErrorTrap trap("Form_Load", "Form", "frmActivityViewer");
    trap.step([this] { frmActivityViewer_Auto_Init(); });
    cmdPause->setEnabled(false);
    QString path;
    trap.step([&] { path = readSetting(Setting::CurrentLogFile, SettingsReader::Administration).toString(); });
    if (path.isEmpty()) {
        prompt().message(myLoadResString(1070), this, Prompt::Kind::Warning);
        return;
    }
    if (!QFileInfo(path).isFile()) {
        prompt().message(myLoadResString(1048), this, Prompt::Kind::Warning);
        return;
    }
    // The path is read once: a new log of the service is shown when the window is opened again.
    m_log = std::make_unique<LogLines>(path);
    myRTF->setLines(m_log.get());
    trap.step([this] { setCaptions(); });
    cmdPause->setEnabled(true);
    Timer->start();
    BusyCursor busy;  // the first read passes over the whole log
    RefreshText();
}

void frmActivityViewer::frmActivityViewer_Auto_Init() {
    ErrorTrap trap("frmActivityViewer_Auto_Init", "Form", "frmActivityViewer");
    trap.step([this] {
        modLocalize::ApplyLanguageFont(this);
        setCaptions();
    });
}

void frmActivityViewer::setCaptions() {
    const QString title = myLoadResString(1036);
    setWindowTitle(m_log ? title + QStringLiteral(" - ") + m_log->path() : title);
    chkAlwaysOnTop->setText(myLoadResString(1025));
    cmdPause->setText(myLoadResString(m_paused ? 1087 : 1079));
    cmdExit->setText(myLoadResString(1058));
}

void frmActivityViewer::RefreshText() {
    if (!m_log || m_refreshing) return;
    m_refreshing = true;
    const auto done = qScopeGuard([this] { m_refreshing = false; });

    // The box keeps what it showed when the file cannot be read; the next tick tries again.
    const auto fail = [this](int number, const QString& description) {
        if (m_failing) return;
        m_failing = true;
        ErrorTrap("RefreshText", "Form", "frmActivityViewer").report(number, description);
    };
    LogLines::Change change;
    try {
        change = m_log->refresh();
    } catch (const platform::Error& e) {
        fail(e.number(), e.description());
        return;
    } catch (const std::exception& e) {
        fail(errnum::InternalError, QString::fromUtf8(e.what()));
        return;
    }
    m_failing = false;
    ErrorTrap trap("RefreshText", "Form", "frmActivityViewer");
    trap.step([&] {
        if (!change.restarted && !change.grew) return;
        myRTF->linesChanged(change.restarted);
        myRTF->showEnd();
    });
}

void frmActivityViewer::cmdPause_Click() {
    m_paused = !m_paused;
    cmdPause->setText(myLoadResString(m_paused ? 1087 : 1079));
    if (m_paused) {
        Timer->stop();  // the text stays as it is
        return;
    }
    Timer->start();
    RefreshText();
}

void frmActivityViewer::chkAlwaysOnTop_Click() {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, chkAlwaysOnTop->isChecked());
    if (flags == windowFlags()) return;
    if (QWindow* handle = windowHandle()) {
        // Told to the window system directly: the window is not hidden and
        // recreated, so it keeps its place and size.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void frmActivityViewer::cmdExit_Click() { close(); }
