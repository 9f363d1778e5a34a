// Finding a participant across all age classes, and the small find dialog.
#pragma once

#include "model/VmWettk.h"

#include <QDialog>

#include <string_view>

class QLineEdit;
class QCheckBox;
class QRadioButton;

namespace vm::ui {

enum : int {
    fdUp = 1,
    fdWholeWord = 2,  // = mpWholeField
    fdMatchCase = 4,  // = mpCaseSensitive
    fdIndividual = 8, // = mpIndividualFields
};

struct TFindPosition {
    int ageClass = 0;
    int participant = -1; // −1: before the first participant
};

// Searches from the position: every participant is visited once, the one at the
// position last; on a match the position names it and the answer is true.
bool FindParticipant(const TWettkampf& c, std::string_view textOem, int flags, TFindPosition& pos);

// "Suchen nach", whole words, case, direction (down by default), "Weitersuchen".
// It stays open beside the window; every "Weitersuchen" emits findNext.
class TFindDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFindDlg(QWidget* parent = nullptr);
    QString Text() const;
    // Whole words 2, case 4, upwards 1.
    int Flags() const;
    QLineEdit* TextEdit() const { return text_; }

Q_SIGNALS:
    void findNext();

private:
    QLineEdit* text_;
    QCheckBox* whole_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
};

} // namespace vm::ui
