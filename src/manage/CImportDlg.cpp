#include "manage/CImportDlg.h"

#include "access/Session.h"
#include "base/UserSettings.h"
#include "data/ImportUndo.h"
#include "data/ImportWrite.h"
#include "manage/ImportForm.h"
#include "manage/ImportPlanModel.h"
#include "toolkit/BackgroundWork.h"
#include "toolkit/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

CImportDlg::CImportDlg(Import::What what, QWidget* parent) : CDialog(parent), m_what(what) {
    BuildForm();
}

CImportDlg::~CImportDlg() = default;

void CImportDlg::BuildForm() {
    ImportForm::Widgets form = ImportForm::Build(this, m_what);
    m_fileEdit = form.fileEdit;
    m_chooseButton = form.chooseButton;
    m_fileInfo = form.fileInfo;
    m_mappingForm = form.mappingForm;
    m_updateRadio = form.updateRadio;
    m_acceptRadio = form.acceptRadio;
    m_trialButton = form.trialButton;
    m_counts = form.counts;
    m_grid = form.grid;
    m_importButton = form.importButton;
    m_undoButton = form.undoButton;
    m_model = new ImportPlanModel(this);
    m_grid->setModel(m_model);
    for (const auto& [column, width] : {std::pair{0, 50}, std::pair{1, 60}, std::pair{2, 180}})
        m_grid->setColumnWidth(column, width);
    connect(form.chooseButton, &QPushButton::clicked, this, &CImportDlg::OnChooseFile);
    connect(m_trialButton, &QPushButton::clicked, this, &CImportDlg::OnTrial);
    connect(m_importButton, &QPushButton::clicked, this, &CImportDlg::OnImport);
    connect(m_undoButton, &QPushButton::clicked, this, &CImportDlg::OnUndo);
    connect(form.closeButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    for (QRadioButton* radio : {m_updateRadio, m_acceptRadio}) {
        if (radio)
            connect(radio, &QRadioButton::toggled, this, &CImportDlg::ForgetPlan);
    }
}

bool CImportDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    UpdateButtons();
    return true;
}

void CImportDlg::OnChooseFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择要导入的 CSV 文件"), QString(),
                                     QStringLiteral("CSV 文件 (*.csv *.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool CImportDlg::OpenFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::Refuse(QStringLiteral("无法打开文件:%1").arg(file.errorString()));
        return false;
    }
    CsvRead::Table table = CsvRead::Parse(file.readAll());
    if (table.error.isEmpty() && table.headings.isEmpty())
        table.error = QStringLiteral("文件里没有任何内容。");
    if (!table.error.isEmpty()) {
        Prompts::Refuse(table.error);
        return false;
    }
    m_table = std::move(table);
    m_path = path;
    m_fileEdit->setText(QFileInfo(path).fileName());
    const QString separator = m_table.separator == QLatin1Char(';')    ? QStringLiteral("分号")
                              : m_table.separator == QLatin1Char('\t') ? QStringLiteral("制表符")
                                                                       : QStringLiteral("逗号");
    m_fileInfo->setText(QStringLiteral("编码:%1  分隔符:%2  标题行之后共 %3 行")
                            .arg(CsvRead::EncodingName(m_table.encoding), separator)
                            .arg(m_table.rows.size()));
    m_fileInfo->setAccessibleName(m_fileInfo->text());
    ShowCombos();
    ForgetPlan();
    return true;
}

void CImportDlg::ShowCombos() {
    while (m_mappingForm->rowCount() > 0)
        m_mappingForm->removeRow(0);
    m_combos.clear();
    const QList<int> mapping = SavedMapping();
    const QList<Import::Field>& fields = Import::Fields(m_what);
    for (qsizetype column = 0; column < m_table.headings.size(); ++column) {
        auto* combo = new QComboBox(this);
        combo->addItem(QStringLiteral("(不导入)"), -1);
        for (qsizetype i = 0; i < fields.size(); ++i)
            combo->addItem(fields[i].heading, int(i));
        combo->setCurrentIndex(mapping[column] + 1);
        const QString heading = m_table.headings[column].trimmed();
        const QString shown = heading.isEmpty() ? QStringLiteral("第 %1 列").arg(column + 1) : heading;
        combo->setAccessibleName(QStringLiteral("“%1”列导入为").arg(shown));
        connect(combo, &QComboBox::currentIndexChanged, this, &CImportDlg::ForgetPlan);
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setText(shown + QStringLiteral("："));
        label->setBuddy(combo);
        m_mappingForm->addRow(label, combo);
        // Tab reaches the columns after the file, before the choices, as they are laid out.
        setTabOrder(m_combos.isEmpty() ? static_cast<QWidget*>(m_chooseButton) : m_combos.last(), combo);
        m_combos << combo;
    }
}

QList<int> CImportDlg::Mapping() const {
    QList<int> mapping;
    for (const QComboBox* combo : m_combos)
        mapping << combo->currentData().toInt();
    return mapping;
}

void CImportDlg::ForgetPlan() {
    m_planned = false;
    m_model->SetPlan(nullptr);
    m_counts->setText(m_combos.isEmpty() ? QStringLiteral("请先选择文件。")
                                         : QStringLiteral("请核对每列的对应,然后按“试运行”。"));
    m_counts->setAccessibleName(m_counts->text());
    UpdateButtons();
}

void CImportDlg::UpdateButtons() {
    m_trialButton->setEnabled(!m_combos.isEmpty());
    m_importButton->setEnabled(m_planned && m_plan.Accepted() > 0);
}

void CImportDlg::OnTrial() {
    const QList<int> mapping = Mapping();
    if (!mapping.contains(0))
        return Prompts::Refuse(
            QStringLiteral("请为“%1”选择文件中的一列。").arg(Import::Fields(m_what)[0].heading));
    for (qsizetype column = 0; column < mapping.size(); ++column) {
        if (mapping[column] >= 0 && mapping.indexOf(mapping[column]) != column)
            return Prompts::Refuse(QStringLiteral("有两列都导入为“%1”,请只选一列。")
                                       .arg(Import::Fields(m_what)[mapping[column]].heading));
    }
    Import::Options options;
    options.updateExisting = m_updateRadio->isChecked();
    options.acceptUnknown = m_acceptRadio && m_acceptRadio->isChecked();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool read = Import::Trial(m_what, m_table, mapping, options, &m_plan, &error);
    QApplication::restoreOverrideCursor();
    if (!read) {
        Prompter::ReportDatabaseError(error);
        return ForgetPlan();
    }
    SaveMapping();
    m_planned = true;
    m_model->SetPlan(&m_plan);
    m_counts->setText(QStringLiteral("试运行(未写入):新增 %1 行,更新 %2 行,跳过 %3 行,拒绝 %4 行。")
                          .arg(m_plan.Count(Import::Fate::New))
                          .arg(m_plan.Count(Import::Fate::Update))
                          .arg(m_plan.Count(Import::Fate::Skip))
                          .arg(m_plan.Count(Import::Fate::Refused)));
    m_counts->setAccessibleName(m_counts->text());
    UpdateButtons();
    m_grid->setFocus();
}

void CImportDlg::OnImport() {
    if (!m_planned || m_plan.Accepted() == 0)
        return;
    Import::Outcome outcome = Import::Outcome::Failed;
    QString refusal;
    const QString file = QFileInfo(m_path).fileName();
    const QString user = Session::Current().UserName();
    BackgroundWork::Run(this, QStringLiteral("导入"),
                        QStringLiteral("正在导入%1……").arg(Import::WhatName(m_what)),
                        [&](const BackgroundWork::Report& report) {
                            outcome = Import::Write(m_plan, file, user, report, &refusal);
                        });
    if (outcome == Import::Outcome::Done)
        Prompter::MessageBox(QStringLiteral("导入完成:新增 %1 行,更新 %2 行。")
                                 .arg(m_plan.Count(Import::Fate::New))
                                 .arg(m_plan.Count(Import::Fate::Update)),
                             QStringLiteral("导入"), MsgIcon::Information);
    else if (outcome == Import::Outcome::Cancelled)
        Prompter::MessageBox(QStringLiteral("导入已取消,没有写入任何内容。"), QStringLiteral("导入"),
                             MsgIcon::Information);
    else
        Prompts::Refuse(refusal);
    if (outcome != Import::Outcome::Cancelled)
        ForgetPlan();
}

void CImportDlg::OnUndo() {
    Import::Run run;
    const Lookup found = Import::LastRun(m_what, &run);
    if (found == Lookup::Failed)
        return;
    if (found == Lookup::Missing)
        return Prompts::Refuse(QStringLiteral("没有可以撤销的%1导入。").arg(Import::WhatName(m_what)));
    if (!Prompts::Ask(
            QStringLiteral("撤销 %1 由 %2 从“%3”导入的%4?\n(新增的 %5 行将被删除,更新的 %6 行恢复原样)")
                .arg(run.at, run.optUser, run.file, Import::WhatName(m_what), QString::number(run.added),
                     QString::number(run.updated)),
            QStringLiteral("撤销导入"), IDNO))
        return;
    QString refusal;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Import::Outcome outcome = Import::Undo(m_what, Session::Current().UserName(), &refusal);
    QApplication::restoreOverrideCursor();
    if (outcome == Import::Outcome::Done)
        Prompter::MessageBox(QStringLiteral("已撤销这次导入。"), QStringLiteral("撤销导入"),
                             MsgIcon::Information);
    else
        Prompts::Refuse(refusal);
    if (m_planned)
        ForgetPlan();
}

QString CImportDlg::SettingsGroup() const {
    return m_what == Import::What::Films ? QStringLiteral("ImportFilms") : QStringLiteral("ImportClients");
}

// The mapping last used for a heading wins over the match by name; a heading never seen is matched.
QList<int> CImportDlg::SavedMapping() const {
    const QList<int> matched = Import::Match(m_what, m_table.headings);
    QList<int> mapping(matched.size(), -1);
    QList<bool> saved(matched.size(), false);
    const std::unique_ptr<QSettings> settings = UserSettings::Open();
    settings->beginGroup(SettingsGroup());
    const QList<Import::Field>& fields = Import::Fields(m_what);
    for (qsizetype column = 0; column < m_table.headings.size(); ++column) {
        const QString key =
            QString::fromLatin1(m_table.headings[column].trimmed().toUtf8().toPercentEncoding());
        if (key.isEmpty() || !settings->contains(key))
            continue;
        saved[column] = true;
        const QString field = settings->value(key).toString();
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (field == QLatin1String(fields[i].column) && !mapping.contains(int(i)))
                mapping[column] = int(i);
        }
    }
    for (qsizetype column = 0; column < matched.size(); ++column) {
        if (!saved[column] && !mapping.contains(matched[column]))
            mapping[column] = matched[column];
    }
    return mapping;
}

void CImportDlg::SaveMapping() const {
    const std::unique_ptr<QSettings> settings = UserSettings::Open();
    settings->beginGroup(SettingsGroup());
    const QList<int> mapping = Mapping();
    for (qsizetype column = 0; column < m_table.headings.size(); ++column) {
        const QString key =
            QString::fromLatin1(m_table.headings[column].trimmed().toUtf8().toPercentEncoding());
        if (!key.isEmpty())
            settings->setValue(key, mapping[column] < 0
                                        ? QString()
                                        : QLatin1String(Import::Fields(m_what)[mapping[column]].column));
    }
}
