// The application object of the desktop program: its title, German locale and Qt's
// German texts, and the handler that catches whatever escapes a command.
#pragma once

#include <QApplication>

namespace vm::ui {

class TVelmoraApp : public QApplication {
    Q_OBJECT
public:
    TVelmoraApp(int& argc, char** argv);
    // Shows "Interner Programmfehler aufgetreten: " and the exception's message and
    // goes on with the state the command left.
    bool notify(QObject* receiver, QEvent* event) override;
};

// Title "Velmora", the German locale (decimal comma), the German texts of Qt's own
// dialogs and the readers and writers of the other file formats; the GUI test suites
// call it too.
void SetupApplication(QApplication& app);

// "Interner Programmfehler aufgetreten: " + CR LF + the message.
void ShowInternalError(const QString& message);

} // namespace vm::ui
