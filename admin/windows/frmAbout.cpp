#include "admin/windows/frmAbout.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <functional>

#include "admin/core/Prompt.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/ErrorTrap.h"
#include "stavio_version.h"

using modLocalize::myLoadResString;

namespace {

// A label that acts like a link: a click, Space or Enter while it has the
// focus, or its access key runs its action.
class ClickableLabel : public QLabel {
public:
    ClickableLabel(std::function<void()> action, QWidget* parent) : QLabel(parent), m_action(std::move(action)) {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        setBuddy(this);  // a label takes its access key only for a buddy
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        setPalette(p);
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            setFocus(Qt::ShortcutFocusReason);
            m_action();
            return true;
        }
        return QLabel::event(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) m_action();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            m_action();
        else
            QLabel::keyPressEvent(event);
    }

private:
    std::function<void()> m_action;
};

// A number as the program has always written it: a leading blank where a
// sign would stand.
QString numberText(int number) {
    return number >= 0 ? QLatin1Char(' ') + QString::number(number) : QString::number(number);
}

// " 1.0Build  12": major, ".", minor, "Build ", revision.
QString versionText() {
    return numberText(STAVIO_VERSION_MAJOR) + QLatin1Char('.') + QString::number(STAVIO_VERSION_MINOR) +
           myLoadResString(1129) + numberText(STAVIO_VERSION_REVISION);
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), LocalizedWindow(this) {
    setObjectName(QStringLiteral("frmAbout"));
    buildControls();
}

frmAbout::~frmAbout() = default;

void frmAbout::buildControls() {
    lblProductName = named(new QLabel(this), "lblProductName");
    QFont heading = lblProductName->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    lblProductName->setFont(heading);

    lblVersionTitle = named(new QLabel(this), "lblVersionTitle");
    lblVersion = named(new QLabel(this), "lblVersion");
    lblLanguageTitle = named(new QLabel(this), "lblLanguageTitle");
    lblLanguage = named(new QLabel(this), "lblLanguage");
    lblCompanyName = named(new QLabel(this), "lblCompanyName");
    lblCompanyAddress = named(new QLabel(this), "lblCompanyAddress");
    lblCopyright = named(new QLabel(this), "lblCopyright");
    lblWarning = named(new QLabel(this), "lblWarning");
    lblTrademarks = named(new QLabel(this), "lblTrademarks");
    for (QLabel* notice : {lblWarning, lblTrademarks}) notice->setWordWrap(true);
    for (QLabel* selectable : {lblVersion, lblCompanyAddress}) selectable->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblVersionTitle->setBuddy(lblVersion);
    lblLanguageTitle->setBuddy(lblLanguage);

    lblChangeLanguage = named(new ClickableLabel([this] { lblChangeLanguage_Click(); }, this), "lblChangeLanguage");
    cmdOK = named(new QPushButton(this), "cmdOK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    mnuSelectLanguage = named(new QMenu(this), "mnuSelectLanguage");

    auto* facts = new QGridLayout;
    facts->setColumnStretch(1, 1);
    facts->addWidget(lblVersionTitle, 0, 0);
    facts->addWidget(lblVersion, 0, 1);
    facts->addWidget(lblLanguageTitle, 1, 0);
    facts->addWidget(lblLanguage, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblChangeLanguage);
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProductName);
    layout->addLayout(facts);
    layout->addWidget(separator(this));
    for (QLabel* maker : {lblCompanyName, lblCompanyAddress, lblCopyright}) layout->addWidget(maker);
    layout->addSpacing(twips(120));
    for (QLabel* notice : {lblWarning, lblTrademarks}) layout->addWidget(notice);
    layout->addWidget(separator(this));
    layout->addLayout(buttons);
    setMinimumWidth(twips(7200));
}

void frmAbout::showEvent(QShowEvent* event) {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmAbout::Form_Load() {
    // A failing step is reported and the next one still runs.
    const auto step = [this](const std::function<void()>& body) {
        try {
            body();
        } catch (const std::exception& e) {
            prompt().message(myLoadResString(1052) + QString::fromUtf8(e.what()), this, Prompt::Kind::Error);
        }
    };
    step([this] { frmAbout_Auto_Init(); });
    step([this] { lblVersion->setText(versionText()); });
    step([] { modLocalize::InitalizeLanguages(); });
    step([this] { showCurrentLanguage(); });
    step([this] { buildLanguageMenu(); });
}

void frmAbout::frmAbout_Auto_Init() {
    ErrorTrap trap("frmAbout_Auto_Init", "Form", "frmAbout");
    trap.step([this] {
        modLocalize::ApplyLanguageFont(this);
        setWindowTitle(myLoadResString(1035));
        lblProductName->setText(myLoadResString(1035));
        lblVersionTitle->setText(myLoadResString(1122));
        lblLanguageTitle->setText(myLoadResString(1017));
        showCurrentLanguage();
        lblCompanyName->setText(myLoadResString(1034));
        lblCompanyAddress->setText(myLoadResString(1091));
        lblCopyright->setText(myLoadResString(1116));
        lblWarning->setText(myLoadResString(1041));
        lblTrademarks->setText(myLoadResString(1045));
        lblChangeLanguage->setText(myLoadResString(1031));
        cmdOK->setText(myLoadResString(1074));
        mnuSelectLanguage->setTitle(myLoadResString(1093));
        adjustSize();
    });
}

void frmAbout::showCurrentLanguage() {
    lblLanguage->setText(modLocalize::CurrentLanguageName());
}

// One item per language file when there is a choice; the item's tag holds
// its language id.
void frmAbout::buildLanguageMenu() {
    mnuSelectLanguage->clear();
    const auto addItem = [this](const QString& caption, const QString& tag) {
        QAction* item = named(mnuSelectLanguage->addAction(caption), "mnuLanguageList");
        item->setData(tag);
        const int index = int(mnuSelectLanguage->actions().size()) - 1;
        connect(item, &QAction::triggered, this, [this, index] { mnuLanguageList_Click(index); });
    };
    const QStringList codes = modLocalize::languageList();
    if (codes.size() >= 2) {
        // Each language under its own name, so that everyone finds theirs.
        for (const QString& code : codes)
            addItem(modLocalize::LanguageIdToName(modLocalize::LanguageCodeToId(code)), numberText(modLocalize::LanguageCodeToId(code)));
    } else {
        addItem(QStringLiteral("No languages loaded"), QStringLiteral("1033"));
    }
}

void frmAbout::lblChangeLanguage_Click() {
    mnuSelectLanguage->popup(lblChangeLanguage->mapToGlobal(QPoint(0, lblChangeLanguage->height())));
}

void frmAbout::mnuLanguageList_Click(int index) {
    const QList<QAction*> items = mnuSelectLanguage->actions();
    if (index < 0 || index >= items.size()) return;
    modLocalize::setCurrentLanguage(items[index]->data().toString().trimmed().toInt());
    modLocalize::InitalizeLanguages();
    for (LocalizedWindow* loaded : loadedWindows()) {
        modLocalize::ApplyLanguageFont(loaded->window());
        loaded->AutoInit();
        loaded->window()->update();
    }
}

void frmAbout::cmdOK_Click() { hide(); }
