// The Gliederungen dialog: the statistics of the participating Gliederungen in four
// orders, and the full name of each, on a copy of the competition.
#pragma once

#include "model/VmWettk.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

namespace vm::ui {

class TGliederungenDlg : public QDialog {
    Q_OBJECT
public:
    // The tabs and the statistics order each stands for.
    static constexpr int TabModes[4] = {1, 3, 0, 4};

    // Works on the copy; the rows are computed for the first tab.
    TGliederungenDlg(QWidget* parent, std::unique_ptr<TWettkampf> copy);
    ~TGliederungenDlg() override;

    TWettkampf& Copy() { return *copy_; }
    std::unique_ptr<TWettkampf> TakeCopy() { return std::move(copy_); }

    void SelectTab(int index);
    int Mode() const { return mode_; }
    // Asks for the full name of the selected Gliederung and stores it.
    void Edit();

    QTabBar* Tabs() const { return tabs_; }
    QLabel* Header() const { return header_; }
    QListWidget* List() const { return list_; }
    QPushButton* EditButton() const { return edit_; }

private:
    void Fill(int select);

    std::unique_ptr<TWettkampf> copy_;
    int mode_ = 1;
    QTabBar* tabs_;
    QLabel* header_;
    QListWidget* list_;
    QPushButton* edit_;
};

// The input box "Gliederung eingeben".
class TGliederungEingabeDlg : public QDialog {
    Q_OBJECT
public:
    TGliederungEingabeDlg(QWidget* parent, const QString& name);
    QString Name() const;
    QLineEdit* Edit() const { return edit_; }

private:
    QLineEdit* edit_;
};

} // namespace vm::ui
