// The desktop program: the application, the main window on the file named by the
// first argument (or a new unnamed competition), and the event loop.
#include "ui/VmApp.h"
#include "ui/VmMain.h"

#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before the application exists, so that they work without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("velmora %s\n", VELMORA_VERSION);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("usage: velmora [FILE.ERG]\n"
                    "       velmora --version | --help\n\n"
                    "Velmora evaluates lifesaving-sport championships. It opens the named "
                    "result file,\nor a new unnamed competition. 'velmora-cli --help' "
                    "describes the command-line tool.\n");
        return 0;
    }
    vm::ui::TVelmoraApp app(argc, argv);
    // The icon and the desktop entry the package installs.
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmora")));
    const QStringList args = QCoreApplication::arguments();
    vm::ui::TMainForm form(args.size() > 1 ? args.at(1) : QString());
    form.show();
    // Changes that a crash kept from being saved are offered once the window is up.
    QMetaObject::invokeMethod(&form, [&form] { form.OfferRecovery(); }, Qt::QueuedConnection);
    return QApplication::exec();
}
