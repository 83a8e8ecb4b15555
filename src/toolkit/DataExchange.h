#pragma once
// Field exchange between a dialog's members and its controls. When reading a field fails, the
// standard prompt is shown, the focus goes to the field, and the rest of the exchange is skipped.
// A control the user cannot edit (disabled) is filled but never read or checked: its member keeps
// its value, so a greyed-out field cannot block the form.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <initializer_list>

class QAbstractButton;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

class CDataExchange {
public:
    explicit CDataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}

    bool Failed() const { return m_failed; }

    // Text limited to maxBytes bytes of GBK (0: no limit); characters GBK cannot hold are refused.
    void Text(QLineEdit* edit, QString& value, int maxBytes = 0);
    void Text(QPlainTextEdit* edit, QString& value, int maxBytes = 0);
    // Display-only text.
    void Text(QLabel* label, QString& value);
    // A number within [min, max]; blanks around it are allowed.
    void Real(QLineEdit* edit, float& value, float min, float max);
    // A number within [min, max] with at most `decimals` digits after the point (an amount of money:
    // two), kept to those digits.
    void Real(QLineEdit* edit, double& value, double min, double max, int decimals);
    void Int(QLineEdit* edit, int& value, int min, int max);
    void Date(QDateEdit* edit, QDateTime& value);
    void Date(QDateEdit* edit, QDate& value);
    // Index of the selected item, -1 for none.
    void ListIndex(QComboBox* combo, int& index);
    // Index of the checked button of a group, -1 for none; a group none of whose buttons is
    // enabled is not read.
    void Radio(std::initializer_list<QAbstractButton*> group, int& index);
    void Check(QAbstractButton* box, bool& checked);

    // The standard prompts, for messages of the same kind elsewhere.
    static QString NumberPrompt();
    static QString RealRangePrompt(float min, float max);
    static QString RealRangePrompt(double min, double max, int decimals);
    // Reads a number as Real with decimals does, without showing anything: the prompt it would show,
    // empty when the text holds such a number (*value).
    static QString ReadReal(const QString& text, double min, double max, int decimals, double* value);
    static QString IntegerPrompt();
    static QString IntegerRangePrompt(int min, int max);
    static QString TooLongPrompt(int maxBytes);
    static QString UnencodablePrompt(const QString& character);

    const bool m_bSaveAndValidate;

private:
    bool Skip() const { return m_failed; }
    // After a failure, and on save for a control the user cannot edit.
    bool Skip(const QWidget* field) const;
    void Fail(QWidget* field, const QString& prompt);
    bool CheckText(QWidget* field, const QString& value, int maxBytes);

    bool m_failed = false;
};

namespace FormText {
// Parses a number as the forms accept it: blanks around it, no other characters, finite.
bool ParseFormNumber(const QString& text, double* value);

// A stored date taken apart by position: year in characters 1-4, month in 6-7, day in the last two.
// Text of any other shape than "yyyy-mm-dd", a day that does not exist, or one outside the
// picker's range reads as today, so a form never shows or saves a nonsense date.
QDate StoredDate(const QString& text, const QDateEdit& picker);
} // namespace FormText
