#include "desk/DeskLines.h"

#include "base/Clock.h"
#include "data/DeskLookup.h"
#include "desk/CPickDlg.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "toolkit/CDialog.h"
#include "toolkit/Money.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
const QString kSeparator = QStringLiteral(" · ");

// "已借出:C001(月租),2026-12-01 起,7 天" or "已借出:零租,…".
QString OutText(const DeskLookup::Film& film) {
    const QString who =
        film.clientId.isEmpty() ? film.rentType : QStringLiteral("%1(%2)").arg(film.clientId, film.rentType);
    return QStringLiteral("已借出:%1,%2 起,%3 天")
        .arg(who, film.borrowDate)
        .arg(DeskLines::DaysOut(film.borrowDate));
}

QString FilmText(const QString& filmId, const DeskLookup::Film& film) {
    QStringList parts{DeskLines::FilmName(filmId, film.name)};
    for (const QString& part : {film.medium, film.genre})
        if (!part.isEmpty())
            parts << part;
    return parts.join(kSeparator);
}
} // namespace

int DeskLines::DaysOut(const QString& borrowDate) {
    const QDate lent = QDate::fromString(borrowDate, QStringLiteral("yyyy-MM-dd"));
    return lent.isValid() ? int(lent.daysTo(Clock::Now().date())) : 0;
}

QString DeskLines::FilmName(const QString& filmId, const QString& name) {
    return QStringLiteral("%1《%2》").arg(filmId, name);
}

DeskLines::Line DeskLines::Client(const QString& clientId, DeskLookup::Client* found) {
    if (clientId.isEmpty())
        return {};
    const DeskLookup::Client client = DeskLookup::FindClient(clientId);
    if (found)
        *found = client;
    if (client.result == Lookup::Missing)
        return {QStringLiteral("没有这个客户"), true};
    if (client.result != Lookup::Found)
        return {};
    QStringList parts;
    if (!client.phone.isEmpty())
        parts << QStringLiteral("电话 ") + client.phone;
    if (!client.remark.isEmpty())
        parts << client.remark;
    parts << QStringLiteral("余额 ") + Money::Text(client.balance)
          << QStringLiteral("借出 %1 部").arg(client.filmsOut);
    return {parts.join(kSeparator)};
}

namespace {
// The line of a film's code, from what describe makes of the film found; "没有这部影片" when none,
// nothing for no code or a read that failed.
template <typename Describe> DeskLines::Line FilmLine(const QString& filmId, Describe describe) {
    if (filmId.isEmpty())
        return {};
    const DeskLookup::Film film = DeskLookup::FindFilm(filmId);
    if (film.result == Lookup::Missing)
        return {QStringLiteral("没有这部影片"), true};
    return film.result == Lookup::Found ? describe(film) : DeskLines::Line();
}
} // namespace

DeskLines::Line DeskLines::Film(const QString& filmId) {
    return FilmLine(filmId, [&](const DeskLookup::Film& film) {
        return Line{FilmText(filmId, film) + kSeparator +
                        (film.out ? OutText(film) : DeskReserve::InShop(filmId)),
                    film.out};
    });
}

DeskLines::Line DeskLines::Rental(const QString& filmId) {
    return RentalWith(filmId, [](const DeskLookup::Film& film) {
        return film.rentType != Desk::kMonthly ? QStringLiteral("退押金 ") + Money::Text(film.foregift)
                                               : QString();
    });
}

DeskLines::Line DeskLines::RentalWith(const QString& filmId,
                                      const std::function<QString(const DeskLookup::Film&)>& money) {
    return FilmLine(filmId, [&](const DeskLookup::Film& film) {
        if (!film.out)
            return Line{FilmText(filmId, film) + kSeparator + QStringLiteral("在店,未借出"), true};
        QStringList rental{film.rentType};
        if (!film.clientId.isEmpty())
            rental << QStringLiteral("客户 ") + film.clientId;
        rental << QStringLiteral("%1 借出").arg(film.borrowDate)
               << QStringLiteral("已借 %1 天").arg(DaysOut(film.borrowDate));
        const QString said = money(film);
        if (!said.isEmpty())
            rental << said;
        if (!film.contact.isEmpty())
            rental << film.contact;
        return Line{FilmText(filmId, film) + QLatin1Char('\n') + rental.join(kSeparator)};
    });
}

QLabel* DeskLines::AddInfoLine(QBoxLayout* layout, int index, const QString& name) {
    auto* line = new QLabel(layout->parentWidget());
    line->setObjectName(name);
    line->setFrameShape(QFrame::StyledPanel);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->setFocusPolicy(Qt::NoFocus);
    // Two lines always, and room for them: the form keeps its size however much a lookup says.
    line->setMinimumWidth(420);
    line->setMinimumHeight(2 * line->fontMetrics().lineSpacing() + 6);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line->setWordWrap(true);
    layout->insertWidget(index, line);
    return line;
}

void DeskLines::Reselect(QLineEdit* field) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

CodeInfoLine::CodeInfoLine(QLineEdit* code, QLabel* line, Describe describe)
    : QObject(code), m_code(code), m_line(line), m_describe(std::move(describe)) {
    m_pause.setSingleShot(true);
    m_pause.setInterval(Desk::kLookupPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &CodeInfoLine::Refresh);
    connect(code, &QLineEdit::textChanged, this, &CodeInfoLine::Changed);
}

void CodeInfoLine::DependsOn(QLineEdit* other) {
    connect(other, &QLineEdit::textChanged, this, &CodeInfoLine::Changed);
}

void CodeInfoLine::Changed() {
    // What was shown belongs to the code before: it goes at once, the new one comes after the pause.
    m_line->clear();
    m_current = false;
    m_pause.start();
}

void CodeInfoLine::Refresh() {
    m_pause.stop();
    const DeskLines::Line said = m_describe(m_code->text());
    m_line->setText(said.text);
    m_useless = said.useless;
    m_current = true;
}

bool CodeInfoLine::Useless() {
    // A scanner sends Enter right after the code, before the pause is over.
    if (!m_current)
        Refresh();
    return m_useless;
}

EnterMoves::EnterMoves(CDialog* dialog, QList<QLineEdit*> codes, QList<Field> fields)
    : QObject(dialog), m_dialog(dialog), m_fields(std::move(fields)) {
    for (QLineEdit* code : codes)
        code->installEventFilter(this);
}

std::function<bool()> EnterMoves::Empty(QLineEdit* edit) {
    return [edit] { return edit->text().isEmpty(); };
}

void EnterMoves::HoldOn(QLineEdit* code, CodeInfoLine* line) {
    m_holds.append({code, line});
}

bool EnterMoves::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    for (const auto& [code, line] : std::as_const(m_holds))
        if (code == watched && line->Useless()) {
            DeskLines::Reselect(code);
            QApplication::beep();
            return true;
        }
    int here = -1;
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).widget == watched)
            here = i;
    // The next field still needed after this one, then those before it.
    for (int step = 1; step < m_fields.size(); ++step) {
        const Field& field = m_fields.at((here + step + m_fields.size()) % m_fields.size());
        if (field.widget->isEnabled() && field.needed()) {
            field.widget->setFocus(Qt::TabFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(field.widget))
                edit->selectAll();
            return true;
        }
    }
    m_dialog->OnOK();
    return true;
}

CodePicker::CodePicker(QLineEdit* code, QGridLayout* form, Kind kind)
    : QObject(code), m_code(code), m_kind(kind) {
    code->installEventFilter(this);
    auto* button = new QToolButton(code->parentWidget());
    m_button = button;
    button->setEnabled(code->isEnabled());
    button->setObjectName(code->objectName() + QStringLiteral("Pick"));
    button->setText(QStringLiteral("…"));
    button->setToolTip(kind == Kind::Client ? QStringLiteral("选择客户 (F4)")
                                            : QStringLiteral("选择影片 (F4)"));
    button->setFocusPolicy(Qt::NoFocus); // the keyboard has F4; Tab keeps its order
    connect(button, &QToolButton::clicked, this, &CodePicker::Open);
    // The field and its button share the field's cell of the form.
    int row = 0, column = 0, rows = 1, columns = 1;
    form->getItemPosition(form->indexOf(code), &row, &column, &rows, &columns);
    form->removeWidget(code);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(2);
    cell->addWidget(code);
    cell->addWidget(button);
    form->addLayout(cell, row, column, rows, columns);
}

void CodePicker::Open() {
    CPickDlg picker(m_kind == Kind::Client ? CPickDlg::Kind::Client : CPickDlg::Kind::Film, m_code->window());
    picker.m_strSearch = m_code->text();
    picker.m_bOfferOnlyIn = m_kind == Kind::FilmIn;
    if (picker.DoModal() != IDOK)
        return;
    m_code->setText(picker.m_strPicked);
    m_code->setFocus();
}

bool CodePicker::eventFilter(QObject* watched, QEvent* event) {
    // A field the form has disabled (the client number of a per-day rental) takes no pick.
    if (watched == m_code && event->type() == QEvent::EnabledChange)
        m_button->setEnabled(m_code->isEnabled());
    if (watched == m_code && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4) {
        Open();
        return true;
    }
    return false;
}
