#include "ui/BvPrev.h"

#include "ui/BvPrinter.h"
#include "ui/VmUiSeam.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vm::ui {

namespace {

// Room around the sheet inside the scroll box, in pixels on each side.
constexpr int kBorder = 15;

QString InvalidIntegerText(const QString& text) {
    return QStringLiteral("'") + text + QStringLiteral("' ist kein gültiger Integerwert.");
}

} // namespace

// ---- sheet ---------------------------------------------------------------------------------

TPreviewSheet::TPreviewSheet(TPreviewForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("PaintBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewSheet::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter p(this);
    form_.PaintSheet(p, size());
}

// ---- form ----------------------------------------------------------------------------------

TPreviewForm::TPreviewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Seitenansicht"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);

    bar_ = new QToolBar(QStringLiteral("Seitenansicht"), this);
    bar_->setObjectName(QStringLiteral("SpeedBar"));
    bar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    main->addWidget(bar_);
    AddButton(QStringLiteral("Drucken"), QStringLiteral("document-print"),
              QKeySequence(Qt::CTRL | Qt::Key_P), &TPreviewForm::CmdPrint);
    AddButton(QStringLiteral("Drucker einrichten"), QStringLiteral("document-properties"), {},
              &TPreviewForm::CmdPrinterSetup);
    bar_->addSeparator();
    AddButton(QStringLiteral("erste Seite"), QStringLiteral("go-first"),
              QKeySequence(Qt::CTRL | Qt::Key_Home), &TPreviewForm::CmdFirst);
    AddButton(QStringLiteral("vorherige Seite"), QStringLiteral("go-previous"),
              QKeySequence(Qt::Key_PageUp), &TPreviewForm::CmdPrevious);
    AddButton(QStringLiteral("nächste Seite"), QStringLiteral("go-next"),
              QKeySequence(Qt::Key_PageDown), &TPreviewForm::CmdNext);
    AddButton(QStringLiteral("letzte Seite"), QStringLiteral("go-last"),
              QKeySequence(Qt::CTRL | Qt::Key_End), &TPreviewForm::CmdLast);
    bar_->addSeparator();
    AddButton(QStringLiteral("Anzeige anpassen"), QStringLiteral("zoom-fit-best"),
              QKeySequence(Qt::CTRL | Qt::Key_0), &TPreviewForm::ZoomToFit);
    AddButton(QStringLiteral("Anzeigenbreite anpassen"), QStringLiteral("zoom-fit-width"),
              QKeySequence(Qt::CTRL | Qt::Key_9), &TPreviewForm::ZoomToWidth);
    AddButton(QStringLiteral("Vergrößern"), QStringLiteral("zoom-in"),
              QKeySequence(Qt::CTRL | Qt::Key_Plus), &TPreviewForm::CmdZoomIn);
    AddButton(QStringLiteral("Verkleinern"), QStringLiteral("zoom-out"),
              QKeySequence(Qt::CTRL | Qt::Key_Minus), &TPreviewForm::CmdZoomOut);
    bar_->addSeparator();
    AddButton(QStringLiteral("Schließen"), QStringLiteral("window-close"), {},
              &TPreviewForm::reject);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->setBackgroundRole(QPalette::Dark);
    host_ = new QWidget;
    sheet_ = new TPreviewSheet(*this, host_);
    scroll_->setWidget(host_);
    scroll_->viewport()->installEventFilter(this);
    main->addWidget(scroll_, 1);

    auto* status = new QWidget(this);
    status->setObjectName(QStringLiteral("StatusPanel"));
    auto* row = new QHBoxLayout(status);
    row->setContentsMargins(6, 3, 6, 3);
    auto* pageLabel = new QLabel(QStringLiteral("Seite"), status);
    pageEdit_ = new QLineEdit(QStringLiteral("1"), status);
    pageEdit_->setObjectName(QStringLiteral("PageEdit"));
    pageLabel->setBuddy(pageEdit_);
    pageCount_ = new QLabel(QStringLiteral("von 1"), status);
    pageCount_->setObjectName(QStringLiteral("PageCountLabel"));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom"), status);
    zoomEdit_ = new QLineEdit(status);
    zoomEdit_->setObjectName(QStringLiteral("ZoomEdit"));
    zoomLabel->setBuddy(zoomEdit_);
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    pageEdit_->setFixedWidth(digits);
    zoomEdit_->setFixedWidth(digits);
    pageEdit_->setAlignment(Qt::AlignRight);
    zoomEdit_->setAlignment(Qt::AlignRight);
    info_ = new QLabel(QStringLiteral("(Seite: 2100x2970)"), status);
    info_->setObjectName(QStringLiteral("InfoLabel"));
    row->addWidget(pageLabel);
    row->addWidget(pageEdit_);
    row->addWidget(pageCount_);
    row->addSpacing(16);
    row->addWidget(zoomLabel);
    row->addWidget(zoomEdit_);
    row->addSpacing(16);
    row->addWidget(info_, 1);
    main->addWidget(status);

    connect(pageEdit_, &QLineEdit::editingFinished, this, &TPreviewForm::PageEdited);
    connect(zoomEdit_, &QLineEdit::editingFinished, this, &TPreviewForm::ZoomEdited);
    setTabOrder(pageEdit_, zoomEdit_);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 9 / 10);
}

TPreviewForm::~TPreviewForm() {
    // Closing moves the focus away from an edit, which must not reach a form that is
    // already being taken apart.
    pageEdit_->disconnect(this);
    zoomEdit_->disconnect(this);
}

QAction* TPreviewForm::AddButton(const QString& text, const QString& icon, const QKeySequence& key,
                                 void (TPreviewForm::*slot)()) {
    auto* a = bar_->addAction(QIcon::fromTheme(icon), text);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                      QStringLiteral(")"));
    }
    a->setStatusTip(text);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

int TPreviewForm::ShowPreview(QWidget* parent, const TBvDocument* document, std::int32_t pageWidth,
                              std::int32_t pageHeight) {
    TPreviewForm form(parent);
    form.setWindowState(form.windowState() | Qt::WindowMaximized);
    form.Initialise(document, 1, pageWidth, pageHeight);
    return ExecDialog(form);
}

void TPreviewForm::Initialise(const TBvDocument* document, int startPage, std::int32_t pageWidth,
                              std::int32_t pageHeight) {
    pageWidth_ = pageWidth;
    pageHeight_ = pageHeight;
    if (!document) {
        empty_ = std::make_unique<TBvDocument>("leer");
        document = empty_.get();
    }
    document_ = document;
    device_ = TCanvasDevice::CreatePreview(document_, nullptr, pageWidth_, pageHeight_);
    setWindowTitle(QStringLiteral("Seitenansicht - ") + FromOem(document_->Title));
    pageCount_->setText(QStringLiteral("von ") + QString::number(PageCount()));
    GoToPage(startPage);
    ZoomToFit();
}

int TPreviewForm::PageCount() const {
    return document_ ? document_->PageCount() : 0;
}

void TPreviewForm::GoToPage(int n) {
    if (n > PageCount()) n = PageCount();
    if (n < 1) n = 1;
    pageEdit_->setText(QString::number(n));
    if (n != page_) {
        page_ = n;
        sheet_->update();
    }
}

void TPreviewForm::SetZoom(int z) {
    z = std::clamp(z, 10, 800);
    zoomEdit_->setText(QString::number(z));
    if (z == zoom_) return;
    zoom_ = z;
    const int wMm = pageWidth_ / 10, hMm = pageHeight_ / 10;
    sheet_->resize(wMm * z * 3 / 100 + 4, hMm * z * 3 / 100 + 4);
    Centre();
    UpdateInfo();
    sheet_->update();
}

void TPreviewForm::ZoomToFit() {
    const QSize view = scroll_->maximumViewportSize();
    const double hMm = pageHeight_ / 10, wMm = pageWidth_ / 10;
    if (hMm <= 0 || wMm <= 0) return;
    const int zh = static_cast<int>(std::trunc((view.height() - 2 * kBorder) / hMm / 3 * 100));
    const int zw = static_cast<int>(std::trunc((view.width() - 2 * kBorder) / wMm / 3 * 100));
    zoomMode_ = zmFitPage;
    SetZoom(std::min(zh, zw));
}

void TPreviewForm::ZoomToWidth() {
    const QSize view = scroll_->maximumViewportSize();
    const double hMm = pageHeight_ / 10, wMm = pageWidth_ / 10;
    if (hMm <= 0 || wMm <= 0) return;
    auto fit = [&](int width) {
        return static_cast<int>(std::trunc((width - 2 * kBorder) / wMm / 3 * 100));
    };
    int z = fit(view.width());
    // A sheet taller than the view brings the vertical scroll bar, which takes its
    // width from the room the sheet was fitted into.
    if (static_cast<int>(hMm) * z * 3 / 100 + 4 + 2 * kBorder > view.height())
        z = fit(view.width() - scroll_->verticalScrollBar()->sizeHint().width());
    zoomMode_ = zmFitWidth;
    SetZoom(z);
}

void TPreviewForm::Centre() {
    if (centring_) return;
    centring_ = true;
    const QSize view = scroll_->viewport()->size();
    const QSize box = sheet_->size();
    int hostW, hostH, x, y;
    if (view.width() <= box.width()) {
        hostW = box.width() + 2 * kBorder;
        x = kBorder;
    } else {
        hostW = view.width();
        x = (view.width() - box.width()) / 2;
    }
    if (view.height() <= box.height()) {
        hostH = box.height() + 2 * kBorder;
        y = kBorder;
    } else {
        hostH = view.height();
        y = (view.height() - box.height()) / 2;
    }
    host_->resize(hostW, hostH);
    sheet_->move(x, y);
    centring_ = false;
}

QPoint TPreviewForm::SheetPosition() const {
    return sheet_->pos() + host_->pos();
}

void TPreviewForm::UpdateInfo() {
    info_->setText(QStringLiteral("(Seite: ") + QString::number(pageWidth_) + QStringLiteral("x") +
                   QString::number(pageHeight_) + QStringLiteral(") PaintBox: ") +
                   QString::number(sheet_->width()) + QStringLiteral("/") +
                   QString::number(sheet_->height()));
}

void TPreviewForm::PaintSheet(QPainter& p, const QSize& size) {
    const int w = size.width(), h = size.height();
    // The sheet, framed, with its shadow; around it the scroll box shows through.
    p.fillRect(QRect(0, 0, w, h), palette().color(QPalette::Dark));
    p.fillRect(QRect(0, 0, w - 3, h - 3), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(QRect(0, 0, w - 4, h - 4));
    const QColor shadow(128, 128, 128);
    p.fillRect(QRect(w - 3, 2, 2, h - 3), shadow);
    p.fillRect(QRect(2, h - 3, w - 3, 2), shadow);
    if (!device_ || PageCount() < 1) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(QRect(1, 1, w - 5, h - 5));
    device_->SetCanvas(&p);
    device_->SetZoom(zoom_ > 0 ? zoom_ : 100);
    device_->Render(page_, page_);
    device_->SetCanvas(nullptr);
}

void TPreviewForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The window has its real size only now.
    if (zoomMode_ == zmFitPage)
        ZoomToFit();
    else if (zoomMode_ == zmFitWidth)
        ZoomToWidth();
    Centre();
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) Centre();
    return QDialog::eventFilter(watched, event);
}

bool TPreviewForm::ReadNumber(QLineEdit* edit, int previous, int& value) {
    bool ok = false;
    const QString text = edit->text().trimmed();
    value = text.toInt(&ok);
    if (ok) return true;
    const QString shown = edit->text();
    edit->setText(QString::number(previous));
    // The box comes after the focus change that ended the entry.
    QTimer::singleShot(
        0, this, [this, shown] { ShowBox(this, TBoxKind::Error, InvalidIntegerText(shown)); });
    return false;
}

void TPreviewForm::PageEdited() {
    int n = 0;
    if (ReadNumber(pageEdit_, page_, n)) GoToPage(n);
}

void TPreviewForm::ZoomEdited() {
    int z = 0;
    if (ReadNumber(zoomEdit_, zoom_, z)) SetZoom(z);
}

void TPreviewForm::CmdPrint() {
    done(PrintResult);
}

void TPreviewForm::CmdPrinterSetup() {
    if (!ExecPrinterSetupDialog(this, CurrentPrinter())) return;
    GoToPage(1);
    ZoomToFit();
}

void TPreviewForm::CmdFirst() {
    GoToPage(1);
}

void TPreviewForm::CmdPrevious() {
    GoToPage(page_ - 1);
}

void TPreviewForm::CmdNext() {
    GoToPage(page_ + 1);
}

void TPreviewForm::CmdLast() {
    GoToPage(PageCount());
}

void TPreviewForm::CmdZoomIn() {
    SetZoom(zoom_ + 10);
}

void TPreviewForm::CmdZoomOut() {
    SetZoom(zoom_ - 10);
}

} // namespace vm::ui
