#pragma once
// The desk's information beside its forms: what a typed code stands for, shown after a pause in
// typing; Enter that walks a scanner's codes through the form; the line of what an action did.
// None of it decides anything: the forms' own checks still do.
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>
#include <functional>

class CDialog;
namespace DeskLookup {
struct Client;
struct Film;
} // namespace DeskLookup
class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace DeskLines {
// What a line says about a code, and whether the code is of no use where it was typed (a client
// or film that does not exist, a film already out); Enter then keeps the clerk in that field.
struct Line {
    QString text;
    bool useless = false;
};
// The lines for a code as typed; empty for an empty code or a read that failed. The client found,
// if any, is handed back to whoever wants more of it.
Line Client(const QString& clientId, DeskLookup::Client* found = nullptr);
Line Film(const QString& filmId);
// The film and, when it is out, its rental: plan, lending date, days out, the deposit to hand back.
// Useless for the rental's field when the film is unknown or not out.
Line Rental(const QString& filmId);
// The same, with the money of the rental said by money (the return's charges) instead.
Line RentalWith(const QString& filmId, const std::function<QString(const DeskLookup::Film&)>& money);
// Whole days from a stored lending date ("%Y-%m-%d") to today; 0 for a date that does not read.
int DaysOut(const QString& borrowDate);
// A film as the lines name it: F001《英雄》.
QString FilmName(const QString& filmId, const QString& name);

// A read-only line for information, put into a form's outer layout at this index.
QLabel* AddInfoLine(QBoxLayout* layout, int index, const QString& name);
// Puts the clerk back into a field after a refusal about it, its text selected to be typed over.
void Reselect(QLineEdit* field);
} // namespace DeskLines

// Shows beside a code field what the code stands for, once typing has paused.
class CodeInfoLine : public QObject {
    Q_OBJECT
public:
    using Describe = std::function<DeskLines::Line(const QString& code)>;
    CodeInfoLine(QLineEdit* code, QLabel* line, Describe describe);
    // Looks the code up at once.
    void Refresh();
    // What else the line depends on: a change there clears it until the next lookup, as typing does.
    void DependsOn(QLineEdit* other);
    // Whether the code as it stands now is of no use; looked up at once if the line is not current.
    bool Useless();

private:
    void Changed();

    QLineEdit* m_code;
    QLabel* m_line;
    Describe m_describe;
    QTimer m_pause;
    bool m_useless = false;
    bool m_current = false;
};

// Enter in a code field moves to the next field the form still needs; when none is left it
// confirms, as Enter did before. A scanner that ends each code with Enter therefore fills the form
// and never confirms it half-filled. Other widgets keep their own Enter.
class EnterMoves : public QObject {
    Q_OBJECT
public:
    struct Field {
        QWidget* widget;
        std::function<bool()> needed; // true while the form still lacks this field
    };
    // codes: the fields whose Enter moves on; fields: where it may move to, in the form's order.
    EnterMoves(CDialog* dialog, QList<QLineEdit*> codes, QList<Field> fields);
    static std::function<bool()> Empty(QLineEdit* edit);
    // Enter in this code's field stays there, its text selected, while its line finds the code
    // useless: a scanner's next code then replaces it instead of landing in the next field.
    void HoldOn(QLineEdit* code, CodeInfoLine* line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDialog* m_dialog;
    QList<Field> m_fields;
    QList<QPair<QLineEdit*, CodeInfoLine*>> m_holds;
};

// F4 in a code field, or the small button put beside it, opens a picker; the code picked replaces
// the field's text.
class CodePicker : public QObject {
    Q_OBJECT
public:
    enum class Kind { Client, Film, FilmIn };
    CodePicker(QLineEdit* code, QGridLayout* form, Kind kind);
    void Open();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_code;
    QWidget* m_button;
    Kind m_kind;
};
