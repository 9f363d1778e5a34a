// "Urkundenvorlage bearbeiten": the fields of a certificate template in a table, the
// first certificate beside it as it will print, updated as the fields change; the
// template saved as a .urk file, and a test print with a millimetre grid.
#pragma once

#include "print/VmReport.h"
#include "print/VmUrkunde.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QTableWidget;

namespace vm::ui {

class TCanvasDevice;

// One page of a print document, fitted into the widget.
class TUrkPreview : public QWidget {
    Q_OBJECT
public:
    explicit TUrkPreview(QWidget* parent);
    ~TUrkPreview() override;
    // The document (not owned) and its sheet; nullptr shows an empty sheet.
    void Show(const TBvDocument* document, std::int32_t width, std::int32_t height);
    const TBvDocument* Document() const { return document_; }
    int PaintCount() const { return paints_; }
    QSize sizeHint() const override { return {380, 520}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TBvDocument* document_ = nullptr;
    std::int32_t width_ = 2100;
    std::int32_t height_ = 2970;
    int paints_ = 0;
};

class TUrkVorlageDlg : public QDialog {
    Q_OBJECT
public:
    // Columns of the field table.
    enum { colX, colY, colFont, colSize, colStyle, colAlign, colWidth, colText, colCount };

    // `selection` and `options` choose the certificate shown (the first of them) and
    // its calibration shift; `file` is where the template came from (empty: new).
    TUrkVorlageDlg(QWidget* parent, const TWettkampf& competition, TUrkAuswahl selection,
                   TUrkOptions options, const TUrkVorlage& vorlage, const QString& file);
    ~TUrkVorlageDlg() override;

    // The template as the table shows it, and whether the table is a valid one
    // (otherwise Error() says which field is wrong and the preview keeps the last
    // valid state).
    const TUrkVorlage& Vorlage() const { return vorlage_; }
    bool Valid() const { return error_.isEmpty(); }
    const QString& Error() const { return error_; }
    // The file the template was saved to last (empty: not saved).
    const QString& SavedFile() const { return saved_; }
    const TVmReport* Report() const { return report_.get(); }

    QTableWidget* Table() const { return table_; }
    TUrkPreview* Preview() const { return preview_; }

    void CmdAdd();
    void CmdRemove();
    void CmdOpen();
    bool CmdSave();
    bool CmdSaveAs();
    // One certificate with a millimetre grid to the printer.
    void CmdTestPrint();
    // Reads the table (and the paper) into the template and rebuilds the preview.
    void Refresh();
    bool Modified() const { return modified_; }

    // Closing with changes not saved asks whether to save them first.
    void reject() override;

private:
    void Fill(const TUrkVorlage& vorlage);
    std::unique_ptr<TVmReport> BuildFirst(bool raster) const;
    bool SaveTo(const QString& file);

    const TWettkampf& competition_;
    TUrkAuswahl selection_;
    TUrkOptions options_;
    TUrkVorlage vorlage_;
    QString file_;
    QString saved_;
    QString error_;
    std::unique_ptr<TVmReport> report_;
    bool filling_ = false;
    bool modified_ = false;

    QComboBox* paper_;
    QComboBox* orientation_;
    QTableWidget* table_;
    TUrkPreview* preview_;
    QLabel* status_;
};

} // namespace vm::ui
