#include "toolkit/DataExchange.h"

#include "base/Clock.h"
#include "base/Gbk.h"
#include "base/Prompter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {
bool Fits(const QString& text, int maxBytes) {
    const int bytes = Gbk::ByteLength(text);
    return bytes >= 0 && (maxBytes <= 0 || bytes <= maxBytes);
}

// Caps what can be typed into a line edit at a GBK byte length, and refuses characters GBK
// cannot hold. Text that is already too long (filled from the database) can still be shortened.
class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(QLineEdit* edit, int maxBytes) : QValidator(edit), m_edit(edit), m_maxBytes(maxBytes) {}
    State validate(QString& input, int&) const override {
        if (Fits(input, m_maxBytes))
            return Acceptable;
        return input.size() < m_edit->text().size() ? Intermediate : Invalid;
    }
    int MaxBytes() const { return m_maxBytes; }

private:
    QLineEdit* m_edit;
    int m_maxBytes;
};

void LimitTyping(QLineEdit* edit, int maxBytes) {
    auto* current = dynamic_cast<const GbkLimitValidator*>(edit->validator());
    if (!current || current->MaxBytes() != maxBytes)
        edit->setValidator(new GbkLimitValidator(edit, maxBytes));
}

// Plain-text edits have no validator: what was just typed or pasted beyond the limit is dropped
// as it comes, by whole characters (a surrogate pair, a Chinese character's two bytes). A
// character GBK cannot hold counts for nothing here and stays, so that 确定 names it rather than
// it vanishing or being cut in two. Text already too long (filled from the database) can still
// be shortened.
void LimitTyping(QPlainTextEdit* edit, int maxBytes) {
    if (edit->property("vorixMaxBytes").toInt() == maxBytes)
        return;
    edit->setProperty("vorixMaxBytes", maxBytes);
    // The text before and after each change of the document, filled or typed: what differs
    // between them is what was just typed. (The document's own change range may span the block.)
    struct Texts {
        QString before;
        QString now;
    };
    auto texts = std::make_shared<Texts>(Texts{QString(), edit->toPlainText()});
    QTextDocument* document = edit->document();
    QObject::connect(document, &QTextDocument::contentsChange, edit, [texts, document] {
        texts->before = std::exchange(texts->now, document->toPlainText());
    });
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxBytes, texts] {
        const QString text = edit->toPlainText();
        if (maxBytes <= 0 || Gbk::EncodableBytes(text) <= maxBytes)
            return;
        const QString& before = texts->before;
        const qsizetype shorter = qMin(before.size(), text.size());
        qsizetype begin = 0;
        while (begin < shorter && before.at(begin) == text.at(begin))
            ++begin;
        qsizetype kept = 0; // characters at the end that were there before
        while (kept < shorter - begin &&
               before.at(before.size() - 1 - kept) == text.at(text.size() - 1 - kept))
            ++kept;
        qsizetype end = text.size() - kept;
        if (begin > 0 && begin < text.size() && text.at(begin).isLowSurrogate())
            --begin;
        if (end < text.size() && text.at(end).isLowSurrogate())
            ++end;
        const QString inserted = text.mid(begin, end - begin);
        const QString fitting =
            Gbk::KeepWithin(inserted, maxBytes - Gbk::EncodableBytes(text.left(begin) + text.mid(end)));
        if (fitting == inserted)
            return;
        const QSignalBlocker block(edit);
        QTextCursor c = edit->textCursor();
        c.setPosition(int(begin));
        c.setPosition(int(end), QTextCursor::KeepAnchor);
        c.insertText(fitting);
        edit->setTextCursor(c);
    });
}

QString FormatReal(float value) {
    return QString::number(double(value), 'g', 6);
}
} // namespace

bool FormText::ParseFormNumber(const QString& text, double* value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (const QChar ch : trimmed) { // digits, sign, point and exponent only: no "nan", "inf", "0x"
        if (!(ch.isDigit() && ch.unicode() < 0x80) && !QStringLiteral("+-.eE").contains(ch))
            return false;
    }
    bool ok = false;
    *value = trimmed.toDouble(&ok);
    return ok && std::isfinite(*value);
}

QString CDataExchange::NumberPrompt() {
    return QStringLiteral("请输入一个数。");
}
QString CDataExchange::RealRangePrompt(float min, float max) {
    return QStringLiteral("请输入一个介于 %1 和 %2 之间的数。").arg(FormatReal(min), FormatReal(max));
}
QString CDataExchange::IntegerPrompt() {
    return QStringLiteral("请输入一个整数。");
}
QString CDataExchange::IntegerRangePrompt(int min, int max) {
    return QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。").arg(min).arg(max);
}
QString CDataExchange::TooLongPrompt(int maxBytes) {
    return QStringLiteral("输入的内容不能超过 %1 个字节（一个汉字算两个字节）。").arg(maxBytes);
}
QString CDataExchange::UnencodablePrompt(const QString& character) {
    return QStringLiteral("不能保存字符“%1”，请换用其它字符。").arg(character);
}

bool CDataExchange::Skip(const QWidget* field) const {
    return m_failed || (m_bSaveAndValidate && !field->isEnabled());
}

void CDataExchange::Fail(QWidget* field, const QString& prompt) {
    m_failed = true;
    Prompter::MessageBox(prompt, QString(), MsgIcon::Warning);
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
    }
}

bool CDataExchange::CheckText(QWidget* field, const QString& value, int maxBytes) {
    const QString bad = Gbk::FirstUnencodable(value);
    if (!bad.isEmpty()) {
        Fail(field, UnencodablePrompt(bad));
        return false;
    }
    if (maxBytes > 0 && Gbk::ByteLength(value) > maxBytes) {
        Fail(field, TooLongPrompt(maxBytes));
        return false;
    }
    return true;
}

void CDataExchange::Text(QLineEdit* edit, QString& value, int maxBytes) {
    if (Skip(edit))
        return;
    if (!m_bSaveAndValidate) {
        LimitTyping(edit, maxBytes);
        edit->setText(value);
        return;
    }
    const QString text = edit->text();
    if (CheckText(edit, text, maxBytes))
        value = text;
}

void CDataExchange::Text(QPlainTextEdit* edit, QString& value, int maxBytes) {
    if (Skip(edit))
        return;
    if (!m_bSaveAndValidate) {
        LimitTyping(edit, maxBytes);
        const QSignalBlocker block(edit);
        edit->setPlainText(value);
        return;
    }
    const QString text = edit->toPlainText();
    if (CheckText(edit, text, maxBytes))
        value = text;
}

void CDataExchange::Text(QLabel* label, QString& value) {
    if (Skip())
        return;
    if (m_bSaveAndValidate)
        value = label->text();
    else
        label->setText(value);
}

void CDataExchange::Real(QLineEdit* edit, float& value, float min, float max) {
    if (Skip(edit))
        return;
    if (!m_bSaveAndValidate) {
        edit->setText(FormatReal(value));
        return;
    }
    double number = 0;
    if (!FormText::ParseFormNumber(edit->text(), &number))
        return Fail(edit, NumberPrompt());
    if (number < double(min) || number > double(max))
        return Fail(edit, RealRangePrompt(min, max));
    value = float(number);
}

void CDataExchange::Int(QLineEdit* edit, int& value, int min, int max) {
    if (Skip(edit))
        return;
    if (!m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    bool ok = false;
    const qlonglong number = edit->text().trimmed().toLongLong(&ok);
    if (!ok)
        return Fail(edit, IntegerPrompt());
    if (number < min || number > max)
        return Fail(edit, IntegerRangePrompt(min, max));
    value = int(number);
}

void CDataExchange::Date(QDateEdit* edit, QDateTime& value) {
    if (Skip(edit))
        return;
    if (m_bSaveAndValidate)
        value = QDateTime(edit->date(), value.isValid() ? value.time() : QTime(0, 0));
    else
        edit->setDate(value.date());
}

void CDataExchange::Date(QDateEdit* edit, QDate& value) {
    if (Skip(edit))
        return;
    if (m_bSaveAndValidate)
        value = edit->date();
    else
        edit->setDate(value);
}

void CDataExchange::ListIndex(QComboBox* combo, int& index) {
    if (Skip(combo))
        return;
    if (m_bSaveAndValidate)
        index = combo->currentIndex();
    else
        combo->setCurrentIndex(index);
}

void CDataExchange::Radio(std::initializer_list<QAbstractButton*> group, int& index) {
    if (Skip())
        return;
    int i = 0;
    if (m_bSaveAndValidate) {
        if (std::none_of(group.begin(), group.end(), [](const QAbstractButton* b) { return b->isEnabled(); }))
            return;
        index = -1;
        for (QAbstractButton* button : group) {
            if (button->isChecked())
                index = i;
            ++i;
        }
        return;
    }
    for (QAbstractButton* button : group)
        button->setChecked(i++ == index);
}

void CDataExchange::Check(QAbstractButton* box, bool& checked) {
    if (Skip(box))
        return;
    if (m_bSaveAndValidate)
        checked = box->isChecked();
    else
        box->setChecked(checked);
}

QDate FormText::StoredDate(const QString& text, const QDateEdit& picker) {
    static const QRegularExpression shape(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (shape.match(text).hasMatch()) {
        const QDate date(text.left(4).toInt(), text.mid(5, 2).toInt(), text.right(2).toInt());
        if (date.isValid() && date >= picker.minimumDate() && date <= picker.maximumDate())
            return date;
    }
    return Clock::Now().date();
}
