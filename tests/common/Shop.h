#pragma once
// Test fixtures: a fresh prepared shop database in a temporary folder, recorded message boxes,
// recorded statements, a fixed clock and scripted inner dialogs.
#include "base/Prompter.h"
#include "toolkit/CDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <functional>

// A fresh copy of the prepared database, made the current directory and the program folder.
class TempShop {
public:
    TempShop();
    ~TempShop();
    QString Dir() const { return m_dir.path(); }
    QString DatabasePath() const;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

// Answers and records every message box while it lives. Unscripted boxes get their default button.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    void Answer(MsgResult result) { m_answers << result; }
    const QList<MessageRequest>& Boxes() const { return m_boxes; }
    QStringList Texts() const;
    void Clear() { m_boxes.clear(); }
    // Runs once while the next box is up, as another desk would work meanwhile.
    void WhileNextBoxIsUp(std::function<void()> action) { m_whileUp = std::move(action); }

private:
    friend class RecordingPrompter;
    QList<MessageRequest> m_boxes;
    QList<MsgResult> m_answers;
    std::function<void()> m_whileUp;
};

// Records the statements the repositories run while it lives.
class StatementRecorder {
public:
    StatementRecorder();
    ~StatementRecorder();
    const QStringList& Statements() const { return m_statements; }
    void Clear() { m_statements.clear(); }

private:
    QStringList m_statements;
};

// Fixes "now" while it lives.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& now);
    ~FixedClock();
};

// Runs each dialog opened with DoModal through the script instead of a nested event loop.
class ModalScript {
public:
    explicit ModalScript(CDialog::ModalRunner runner);
    ~ModalScript();

private:
    CDialog::ModalRunner m_previous;
};

// Texts written as plain literals, for lists compared or typed in a test.
inline QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// Direct access to the test's database file, through the access layer.
namespace Db {
QString Value(const QString& sql);   // the column named v of the first row, as text
int Count(const QString& fromWhere); // SELECT COUNT(*) FROM ...
bool Exec(const QString& sql);
// The first row's cells apart by one blank, each as the access layer reads it (a real as "30.0").
QString Row(const QString& sql);
// Every row (up to most) so, the cells apart by cellSeparator and the rows by rowSeparator.
QString Rows(const QString& sql, QChar cellSeparator, QChar rowSeparator, int most = 1 << 30);
// Makes every `when` ("INSERT", "UPDATE", "DELETE") on table fail with message, on either engine.
bool FailOn(const char* when, const char* table, const char* message);
// The rows of the reports' summaries (each day's ledger, each disc's and customer's newest rental)
// that differ from the rows they sum, either way: none in a sound shop, on either engine.
extern const char* const kSummariesAstray;
} // namespace Db

// The engine's own text of a failure: the file's, or the server's in a run on the server.
QString EngineText(const char* file, const char* server);

// Picks a combo box's item as a user would: the pick is announced even when the item is shown.
void Pick(QComboBox* combo, const QString& text);

// Double-clicks a row of a shown grid, on its first visible column.
void DoubleClickRow(QTableView* grid, int row);

// Types text into a widget as a user would, Chinese included.
void TypeText(QWidget* widget, const QString& text);

// The pages of a PDF file as Qt writes them (one page object each); -1 when it cannot be read.
int PdfPages(const QString& path);

// The sqlcipher shell opens the shop file in the current folder, reads it and closes it, as an
// owner looking in would; its output, or empty when it failed.
QByteArray ShellReads(const QByteArray& query);

// A box that tells the shop in Chinese what the engine reported: the sentence first, the engine's
// own text at the end.
void ExpectDescribed(const QString& box, const char* sentenceStart, const char* engineText);
