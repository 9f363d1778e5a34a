// The about box and the tips dialog.
#pragma once

#include <QDialog>

class QLabel;

namespace vm::ui {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

class TTipsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TTipsDlg(QWidget* parent = nullptr);
    static const QStringList& Tips();
    int Current() const { return current_; }
    void ShowTip(int index);

private:
    QLabel* text_;
    QLabel* counter_;
    int current_ = 0;
};

} // namespace vm::ui
