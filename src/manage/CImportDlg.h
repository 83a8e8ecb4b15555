#pragma once
// "导入": films or clients from a CSV file, for administrators. The file's columns are matched to
// the fields by their headings (editable per column, kept for the next import), a trial run shows
// every row's fate and writes nothing, the import writes the accepted rows in one transaction off
// the window's thread, and 撤销上次导入 takes the last import back.
#include "base/CsvRead.h"
#include "data/ImportPlan.h"
#include "toolkit/CDialog.h"

#include <QList>

class ImportPlanModel;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

class CImportDlg : public CDialog {
    Q_OBJECT
public:
    explicit CImportDlg(Import::What what, QWidget* parent = nullptr);
    ~CImportDlg() override;

    bool OnInitDialog() override;
    // Reads the file and offers its columns; false (and a box) when it cannot be read.
    bool OpenFile(const QString& path);
    void OnChooseFile();
    void OnTrial();
    void OnImport();
    void OnUndo();

    // The combo of each column of the file, in the file's order.
    const QList<QComboBox*>& MappingCombos() const { return m_combos; }
    const Import::Plan& CurrentPlan() const { return m_plan; }
    bool HasPlan() const { return m_planned; }

private:
    void BuildForm();
    void ShowCombos();
    void ForgetPlan();
    void UpdateButtons();
    QList<int> Mapping() const;
    QList<int> SavedMapping() const;
    void SaveMapping() const;
    QString SettingsGroup() const;

    Import::What m_what;
    CsvRead::Table m_table;
    QString m_path;
    Import::Plan m_plan;
    bool m_planned = false;

    QLineEdit* m_fileEdit = nullptr;
    QPushButton* m_chooseButton = nullptr;
    QLabel* m_fileInfo = nullptr;
    QFormLayout* m_mappingForm = nullptr;
    QList<QComboBox*> m_combos;
    QRadioButton* m_updateRadio = nullptr;
    QRadioButton* m_acceptRadio = nullptr;
    QPushButton* m_trialButton = nullptr;
    QLabel* m_counts = nullptr;
    QTableView* m_grid = nullptr;
    ImportPlanModel* m_model = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_undoButton = nullptr;
};
