// The findings of the data checks in a list; "Gehe zu" shows the participant of the
// chosen finding in the main window.
#pragma once

#include "operations/VmPruefung.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace vm::ui {

class TPruefungDlg : public QDialog {
    Q_OBJECT
public:
    using TGoTo = std::function<void(TAltersklasse*, TTeilnehmer*)>;

    TPruefungDlg(QWidget* parent, const TWettkampf& c);

    // Runs the checks and lists them; "Gehe zu" closes the list and calls goTo with the
    // age class and participant of the chosen finding.
    static void Open(QWidget* parent, const TWettkampf& c, const TGoTo& goTo);

    const std::vector<TBefund>& Findings() const { return found_; }
    // The finding chosen in the list, or none.
    const TBefund* Chosen() const;
    QListWidget* List() const { return list_; }

private:
    std::vector<TBefund> found_;
    QListWidget* list_ = nullptr;
    QPushButton* goTo_ = nullptr;
};

} // namespace vm::ui
