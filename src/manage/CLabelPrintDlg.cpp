#include "manage/CLabelPrintDlg.h"

#include "base/Clock.h"
#include "data/COptionInfo.h"
#include "toolkit/CSheetBox.h"
#include "toolkit/FilmLabel.h"
#include "toolkit/LabelPreview.h"
#include "toolkit/Prompts.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString kTitle = QStringLiteral("打印标签");
} // namespace

LabelSheet::Layout CLabelPrintDlg::DefaultLayout() {
    return LabelSheet::Layout{};
}

CLabelPrintDlg::CLabelPrintDlg(QWidget* parent)
    : CDialog(parent), m_selectedRadio(new QRadioButton(this)),
      m_dayRadio(new QRadioButton(QStringLiteral("入库日期为(&D)"), this)),
      m_allRadio(new QRadioButton(QStringLiteral("全部影片(&A)"), this)), m_day(new QDateEdit(this)),
      m_sheet(new CSheetBox(QStringLiteral("labels"), DefaultLayout(), QStringLiteral("卷筒单张(&J)"), this)),
      m_preview(new QPushButton(QStringLiteral("预览(&V)..."), this)) {
    setWindowTitle(kTitle);
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_day->setAccessibleName(QStringLiteral("入库日期"));
    auto* films = new QGroupBox(QStringLiteral("影片"), this);
    auto* which = new QButtonGroup(this);
    auto* filmsLayout = new QVBoxLayout(films);
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(m_dayRadio);
    dayRow->addWidget(m_day);
    dayRow->addStretch();
    for (QRadioButton* radio : {m_selectedRadio, m_dayRadio, m_allRadio})
        which->addButton(radio);
    filmsLayout->addWidget(m_selectedRadio);
    filmsLayout->addLayout(dayRow);
    filmsLayout->addWidget(m_allRadio);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    m_preview->setObjectName(QStringLiteral("previewButton"));
    m_preview->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_preview);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(films);
    layout->addWidget(m_sheet);
    layout->addLayout(buttons);
    connect(m_day, &QDateEdit::dateChanged, m_dayRadio, [this] { m_dayRadio->setChecked(true); });
    connect(m_preview, &QPushButton::clicked, this, &CLabelPrintDlg::OnPreview);
    connect(close, &QPushButton::clicked, this, &CDialog::OnCancel);
}

bool CLabelPrintDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_selectedRadio->setText(QStringLiteral("选中的影片(&S)（%1 部）").arg(m_selected.size()));
    m_selectedRadio->setEnabled(!m_selected.isEmpty());
    {
        const QSignalBlocker quiet(m_day);
        m_day->setDate(Clock::Now().date());
    }
    (m_selected.isEmpty() ? m_allRadio : m_selectedRadio)->setChecked(true);
    m_preview->setFocus();
    return true;
}

// A failed read is the engine's one box, and nothing is shown.
bool CLabelPrintDlg::ReadFilms(QList<LabelRows::Film>* films) {
    const QString sql = m_selectedRadio->isChecked() ? LabelRows::FilmsByKeys(m_selected)
                        : m_dayRadio->isChecked()
                            ? LabelRows::FilmsStoredOn(m_day->date().toString(QStringLiteral("yyyy-MM-dd")))
                            : LabelRows::AllFilms();
    QString error;
    if (LabelRows::ReadFilms(sql, films, &error))
        return true;
    Prompter::ReportDatabaseError(error);
    return false;
}

void CLabelPrintDlg::OnPreview() {
    m_films.clear();
    m_placed.clear();
    QList<LabelRows::Film> films;
    if (!ReadFilms(&films))
        return;
    if (films.isEmpty()) {
        Prompts::Refuse(QStringLiteral("没有要打印标签的影片。"));
        return;
    }
    const LabelSheet::Layout layout = m_sheet->Layout();
    const QString fault = LabelSheet::Fault(layout, FilmLabel::Least());
    if (!fault.isEmpty()) {
        Prompts::Refuse(fault);
        return;
    }
    m_sheet->Keep();
    m_films = films;
    Lookup found = Lookup::Found;
    const QString shopName = COptionInfo::Get(COptionInfo::kShopName, QString(), &found);
    if (found == Lookup::Failed)
        return;
    QList<Barcode::Symbol> symbols;
    QStringList failed;
    m_qr.clear();
    for (const LabelRows::Film& film : films) {
        const Barcode::Kind kind = Barcode::KindFor(film.code);
        symbols << Barcode::Make(film.code, kind);
        if (!symbols.last().IsMade())
            failed << film.code;
        else if (kind == Barcode::Kind::Qr)
            m_qr << film.code;
    }
    QStringList notes;
    notes << LabelPreview::Naming(QStringLiteral("编号含 Code 128 不能表示的字符,印成二维码的标签"), m_qr)
          << LabelPreview::Naming(QStringLiteral("编号无法印成条码的标签"), failed);
    notes.removeAll(QString());
    LabelPreview::Run(
        this, kTitle, m_sheet->PrinterKey(), layout, m_sheet->StartCell(), int(films.size()),
        [&](QPainter& painter, int position, const QRectF& cell) {
            const LabelRows::Film& film = films.at(position);
            FilmLabel::Paint(painter, {film.code, film.title, film.medium}, symbols.at(position), shopName,
                             cell);
        },
        notes.join(QLatin1Char('\n')), &m_placed);
}
