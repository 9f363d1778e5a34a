// Edits for numbers with a range. They refuse keys that cannot belong to a number
// (with a beep), and when the user leaves one with a value outside its range they say
// so and take the focus back, unless the user is on the way to Cancel.
#pragma once

#include <QLineEdit>

#include <functional>

namespace vm::ui {

// Losing the focus to another window or towards a Cancel button is no leaving of the
// field: no range check then.
bool LeavesTowardsCheck(const QFocusEvent* event);
// "Der eingegebene Wert liegt nicht zwischen MIN und MAX." for whole numbers.
QString IntRangeErrorText(int minValue, int maxValue);
// The range error's warning box, caption "Eingabeprüfung".
void ShowRangeErrorBox(QWidget* field, const QString& text);

// The range check of a field that was left: it runs right after the focus change (a box
// must not open inside it), once, and not at all when the field has the focus back by
// then (a form check reported it) or the value became valid. A refused value shows its
// error and gets the focus back, selected, so that the user can type over it.
class TExitCheck {
public:
    void Schedule(QWidget* field, std::function<bool()> isValid, std::function<void()> showError,
                  std::function<void()> selectAll);

private:
    bool pending_ = false;
};

class TBvValEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TBvValEdit(QWidget* parent = nullptr);

    bool ValidateOnExit = true;
    // On: a refused key is dropped before the edit sees it. Off: the edit's own key
    // handling runs first and the key is checked afterwards; it never reaches the text.
    bool CheckBeforeInsert = true;

    virtual bool IsValidChar(QChar c) const;
    virtual bool IsValid() const;
    virtual void ShowRangeError();

Q_SIGNALS:
    // The key handling of the edit itself, before a refused key is dropped when
    // CheckBeforeInsert is off (a form's key event, in the old terms).
    void keyPressed(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // The locale's decimal and group separators become "." and ",".
    QString NormalisedText() const;

private:
    TExitCheck exitCheck_;
};

class TBvNumEdit : public TBvValEdit {
    Q_OBJECT
public:
    explicit TBvNumEdit(QWidget* parent = nullptr);
    TBvNumEdit(int minValue, int maxValue, QWidget* parent = nullptr);

    int MinValue = 0;
    int MaxValue = 0;

    // The text as a 32-bit number; MinValue when it does not parse.
    int Value() const;
    void SetValue(int v);

    bool IsValidChar(QChar c) const override;
    bool IsValid() const override;
    void ShowRangeError() override;
    QString RangeErrorText() const;

private:
    bool Parse(int& v) const;
};

class TBvFloatEdit : public TBvValEdit {
    Q_OBJECT
public:
    explicit TBvFloatEdit(QWidget* parent = nullptr);
    TBvFloatEdit(double minValue, double maxValue, int precision, int digits,
                 QWidget* parent = nullptr);

    double MinValue = 0;
    double MaxValue = 0;
    int Precision = 15;
    int Digits = 2;

    double Value() const;
    void SetValue(double v);

    bool IsValidChar(QChar c) const override;
    bool IsValid() const override;
    void ShowRangeError() override;
    QString RangeErrorText() const;

private:
    bool Parse(double& v) const;
};

// The check a form runs before it accepts: the focused value edit first, then every
// value edit of the form in order; the first invalid one shows its range error, takes
// the focus and the answer is false.
bool FormCheck(QWidget* form);

} // namespace vm::ui
