// The desktop program: the application, the main window on the file named by the
// first argument (or a new unnamed competition), and the event loop.
#include "ui/VmApp.h"
#include "ui/VmMain.h"

int main(int argc, char** argv) {
    vm::ui::TVelmoraApp app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    vm::ui::TMainForm form(args.size() > 1 ? args.at(1) : QString());
    form.show();
    // Changes that a crash kept from being saved are offered once the window is up.
    QMetaObject::invokeMethod(&form, [&form] { form.OfferRecovery(); }, Qt::QueuedConnection);
    return QApplication::exec();
}
