// The print preview: a built print document page by page on a sheet, at any zoom,
// drawn by the canvas device that also prints, and the way to print from there.
#pragma once

#include "print/BvPrint.h"
#include "ui/VmCanvas.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolBar;

namespace vm::ui {

class TPreviewForm;

// The sheet inside the scroll box.
class TPreviewSheet : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewSheet(TPreviewForm& form, QWidget* parent);
    // How often the sheet was painted (a repaint that was not needed shows here).
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPreviewForm& form_;
    int paints_ = 0;
};

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // The result when the user pressed "Drucken".
    static constexpr int PrintResult = 100;
    enum TZoomMode { zmNone = 0, zmFitPage = 1, zmFitWidth = 2 };

    explicit TPreviewForm(QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // Shows the document (not owned) modally from page 1; the form's result.
    static int ShowPreview(QWidget* parent, const TBvDocument* document, std::int32_t pageWidth,
                           std::int32_t pageHeight);

    // Without a document an empty one titled "leer" is shown.
    void Initialise(const TBvDocument* document, int startPage, std::int32_t pageWidth,
                    std::int32_t pageHeight);

    void GoToPage(int n);
    void SetZoom(int z);
    void ZoomToFit();
    void ZoomToWidth();

    int CurrentPage() const { return page_; }
    int ZoomPercent() const { return zoom_; }
    int ZoomMode() const { return zoomMode_; }
    int PageCount() const;
    const TBvDocument* Document() const { return document_; }

    TPreviewSheet* PaintBox() const { return sheet_; }
    QScrollArea* ScrollBox() const { return scroll_; }
    QLineEdit* PageEdit() const { return pageEdit_; }
    QLineEdit* ZoomEdit() const { return zoomEdit_; }
    QLabel* InfoLabel() const { return info_; }
    QLabel* PageCountLabel() const { return pageCount_; }
    QToolBar* ButtonBar() const { return bar_; }
    // The sheet's place relative to the visible part of the scroll box.
    QPoint SheetPosition() const;

    // Draws the current page on the sheet's painter (used by the sheet).
    void PaintSheet(QPainter& painter, const QSize& size);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddButton(const QString& text, const QString& icon, const QKeySequence& key,
                       void (TPreviewForm::*slot)());
    void Centre();
    void UpdateInfo();
    void PageEdited();
    void ZoomEdited();
    bool ReadNumber(QLineEdit* edit, int previous, int& value);

    void CmdPrint();
    void CmdPrinterSetup();
    void CmdFirst();
    void CmdPrevious();
    void CmdNext();
    void CmdLast();
    void CmdZoomIn();
    void CmdZoomOut();

    const TBvDocument* document_ = nullptr;
    std::unique_ptr<TBvDocument> empty_;
    std::unique_ptr<TCanvasDevice> device_;
    int page_ = 1;
    int zoom_ = 0;
    int zoomMode_ = zmNone;
    std::int32_t pageWidth_ = 2100;
    std::int32_t pageHeight_ = 2970;
    bool centring_ = false;
    bool shown_ = false;

    QToolBar* bar_;
    QScrollArea* scroll_;
    QWidget* host_;
    TPreviewSheet* sheet_;
    QLineEdit* pageEdit_;
    QLabel* pageCount_;
    QLineEdit* zoomEdit_;
    QLabel* info_;
};

} // namespace vm::ui
