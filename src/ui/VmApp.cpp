#include "ui/VmApp.h"

#include "io/VmExport.h"
#include "io/VmImport.h"
#include "output/VmPdfExport.h"
#include "ui/VmUiSeam.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

namespace vm::ui {

TVelmoraApp::TVelmoraApp(int& argc, char** argv) : QApplication(argc, argv) {
    SetupApplication(*this);
}

bool TVelmoraApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowInternalError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowInternalError(QStringLiteral("Unbekannte Ausnahme"));
    }
    return false;
}

void SetupApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    // No display name: the window system would append it to every caption
    // ("Velmora - Tag1.ERG — Velmora"); the captions name the program themselves.
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Velbund"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
    // The readers and writers of the other formats; each save and import brings its
    // own options.
    InstallImporters();
    InstallExportWriters();
    InstallPdfExport();
}

void ShowInternalError(const QString& message) {
    ShowBox(nullptr, TBoxKind::Error,
            QStringLiteral("Interner Programmfehler aufgetreten: \r\n") + message);
}

} // namespace vm::ui
