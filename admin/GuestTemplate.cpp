#include "admin/GuestTemplate.h"

#include "admin/core/Prompt.h"
#include "admin/localize/modLocalize.h"
#include "common/ErrorTrap.h"
#include "common/GuestTemplateSetUp.h"

namespace {

using Outcome = GuestTemplateSetUp::Outcome;
using Notice = GuestTemplateSetUp::Notice;

void showError(const QString& text) {
    prompt().message(text, nullptr, Prompt::Kind::Error);
}

void showNotice(Notice notice) {
    prompt().message(
        notice == Notice::NoOperator
            ? QStringLiteral("Error!  Could not find the operator call handler using "
                             "alias='operatorch' in the database.  Construction of the default "
                             "hotel guest template will use the opening greeting call handler "
                             "instead.")
            : QStringLiteral("Error!  Could not find the 'All Hours - All Days' schedule in the "
                             "database.  Construction of the default hotel guest template will "
                             "use the schedule referenced in the default subscriber template."));
}

}  // namespace

bool CreateGuestCOSandTemplate(const QString& connection) {
    using modLocalize::myLoadResString;
    ErrorTrap trap("CreateGuestCOSandTemplate", "Form", "frmMain");
    GuestTemplateSetUp setUp(trap, connection, showNotice);
    switch (setUp.run()) {
        case Outcome::Present:
        case Outcome::Built:
            return true;
        case Outcome::NoDefaultCos:
            showError(myLoadResString(1055));
            break;
        case Outcome::CosNotCreated:
            showError(myLoadResString(1047));
            break;
        case Outcome::NoDefaultTemplate:
            showError(myLoadResString(1056));
            break;
        case Outcome::TemplateNotCreated:
            showError(myLoadResString(1100) + setUp.failure());
            break;
        case Outcome::NoPrimaryHandler:
            showError(QStringLiteral(
                "Error finding primary call handler for newly constructed hotel guest template.  "
                "Please contact Tolvane for assistance"));
            break;
    }
    return false;
}
