#include "admin/windows/frmHelp.h"

#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>

#include "admin/core/AdminEnv.h"
#include "admin/localize/modLocalize.h"

namespace {
// The layout in twips: the smallest window, and the browser's place in it.
constexpr int kMinWidth = 2500;
constexpr int kMinHeight = 2400;
constexpr int kBrowserLeft = 100;
constexpr int kBrowserTop = 1;
constexpr int kBrowserNarrower = 200;
constexpr int kBrowserLower = 400;
// A first size that shows a page comfortably.
constexpr int kStartWidth = 12000;
constexpr int kStartHeight = 9600;
}  // namespace

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window), LocalizedWindow(this) {
    setObjectName(QStringLiteral("frmHelp"));
    browserHelp = new QTextBrowser(this);
    browserHelp->setObjectName(QStringLiteral("browserHelp"));
    setMinimumSize(twips(kMinWidth), twips(kMinHeight));
    resize(twips(kStartWidth), twips(kStartHeight));
    Form_Resize();
    Form_Load();
}

frmHelp::~frmHelp() = default;

QString frmHelp::helpPagePath() {
    return adminEnv().programFolder() + QStringLiteral("/VoxarenStavioAdmin.htm");
}

void frmHelp::Form_Load() {
    frmHelp_Auto_Init();
    browserHelp->setSource(QUrl::fromLocalFile(helpPagePath()));
}

void frmHelp::frmHelp_Auto_Init() {
    modLocalize::ApplyLanguageFont(this);
    setWindowTitle(modLocalize::myLoadResString(1038));
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmHelp::Form_Resize() {
    // The smallest size is kept by the minimum size set at construction.
    browserHelp->setGeometry(twips(kBrowserLeft), twips(kBrowserTop), width() - twips(kBrowserNarrower),
                             height() - twips(kBrowserLower));
}
