#pragma once
// The print preview of the lists: the pages, and above them buttons always in view on a 1024x768
// screen: 打印 (through the print dialog), 导出PDF (to a file asked for in SaveDialog), 横向 to turn
// the page, 放大, 缩小, 整页宽 and 关闭.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;

class CPrintPreview : public QDialog {
    Q_OBJECT
public:
    // title: of the window, and the name the PDF file is offered under.
    CPrintPreview(QPrinter* printer, const QString& title, QWidget* parent = nullptr);

    QPrintPreviewWidget* View() const { return m_view; }
    QPushButton* PrintButton() const { return m_print; }
    QPushButton* PdfButton() const { return m_pdf; }
    // A line above the pages that says what the user should know of them; read by screen readers.
    void SetNote(const QString& note);
    QString Note() const;
    // For pages whose paper is fixed (labels, cards): no 横向.
    void HideOrientation();

    void OnPrint();
    // The pages into a PDF file; the file's path, empty when none was given or it failed (said so).
    QString OnPdf();

signals:
    // Paint the pages onto this printer, as QPrintPreviewWidget asks for them.
    void paintRequested(QPrinter* printer);

private:
    QPrinter* m_printer;
    QString m_title;
    QPrintPreviewWidget* m_view;
    QPushButton* m_print;
    QPushButton* m_pdf;
    QCheckBox* m_landscape;
    QLabel* m_note;
};
