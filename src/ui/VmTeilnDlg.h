// The dialog in which one participant or team of an age class is entered or changed:
// names, Gliederung, the times, penalties, heats and lanes of the five disciplines,
// the HLW start, station and points, and the participant's properties.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vm {
class TWettkampf;
struct TTeilnehmer;
} // namespace vm

namespace vm::ui {

class TBvFloatEdit;
class TBvNumEdit;
class TClockEdit;
class TTimeEdit;

class TTeilnehmerDlg : public QDialog {
    Q_OBJECT
public:
    TTeilnehmerDlg(const TWettkampf& c, TTeilnehmer& p, QWidget* parent = nullptr);
    // Shows the dialog modally; on OK the values are stored into p and the answer is
    // true; on Cancel p is unchanged.
    static bool Open(QWidget* parent, const TWettkampf& c, TTeilnehmer& p);
    // Stays open while a value edit holds a value outside its range.
    void accept() override;

private:
    void Load();
    void Store();
    // "TN abwesend": every penalty still 0, and HLW points 0, become "nicht angetreten".
    void MarkAbsent();

    const TWettkampf& c_;
    TTeilnehmer& p_;
    bool single_;

    QLineEdit* name_;
    QLineEdit* vorname_;
    QLineEdit* zusatz_;
    QLineEdit* mannschaft_;
    QLabel* nameLabel_;
    QLabel* vornameLabel_;
    QLabel* geburtsLabel_;
    QLabel* zusatzLabel_;
    QLabel* mannschaftLabel_;
    QComboBox* gliederung_;
    QComboBox* altersklasse_;

    std::array<TTimeEdit*, 5> zeit_{};
    std::array<TBvNumEdit*, 5> abzug_{};
    std::array<TBvNumEdit*, 5> lauf_{};
    std::array<TBvNumEdit*, 5> bahn_{};
    TClockEdit* hlwZeit_;
    TBvNumEdit* hlwBahn_;
    TBvFloatEdit* hlwPunkte_;

    std::array<QCheckBox*, 5> flags_{};
    QPushButton* absent_;
};

} // namespace vm::ui
