#include "ui/VmOptDlg.h"

#include "model/VmBasis.h"
#include "ui/VmUiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QValidator>

namespace vm::ui {

namespace {

// A combo box of characters: one typed character, or one of its list entries as a
// whole ("{TAB}", "{LEER}").
class TCharValidator : public QValidator {
public:
    TCharValidator(QComboBox* combo) : QValidator(combo), combo_(combo) {}
    State validate(QString& input, int&) const override {
        if (input.size() <= 1) return Acceptable;
        for (int i = 0; i < combo_->count(); ++i) {
            const QString entry = combo_->itemText(i);
            if (entry == input) return Acceptable;
            if (entry.startsWith(input)) return Intermediate;
        }
        return Invalid;
    }

private:
    QComboBox* combo_;
};

QComboBox* CharCombo(QWidget* parent, const QString& name, const QStringList& items,
                     const QString& current) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setValidator(new TCharValidator(c));
    const int i = static_cast<int>(items.indexOf(current));
    if (i >= 0)
        c->setCurrentIndex(i);
    else
        c->setEditText(current);
    c->setMinimumContentsLength(6);
    return c;
}

QCheckBox* Check(QWidget* parent, const QString& text, const QString& name, bool on) {
    auto* b = new QCheckBox(text, parent);
    b->setObjectName(name);
    b->setChecked(on);
    return b;
}

struct TCheckItem {
    QCheckBox** box;
    const char* text; // UTF-8
    const char* name;
    bool on;
};

// The group "Optionen": check boxes one below the other.
QGroupBox* CheckGroup(QWidget* parent, std::initializer_list<TCheckItem> items) {
    auto* group = new QGroupBox(QStringLiteral("Optionen"), parent);
    auto* layout = new QVBoxLayout(group);
    for (const TCheckItem& item : items) {
        *item.box =
            Check(group, QString::fromUtf8(item.text), QString::fromUtf8(item.name), item.on);
        layout->addWidget(*item.box);
    }
    layout->addStretch();
    return group;
}

QString CharText(char c) {
    if (c == '\t') return QStringLiteral("{TAB}");
    if (c == ' ') return QStringLiteral("{LEER}");
    return FromOem(std::string(1, c));
}

// The PDF information holds the Windows character set.
QString FromAnsi(const std::string& ansi) {
    return FromOem(AnsiToOem(ansi));
}
std::string ToAnsi(const QString& text, int maxLen) {
    return OemToAnsi(ToOem(text, maxLen));
}

} // namespace

// ---- text export ----------------------------------------------------------------------

TOptTXTDlg::TOptTXTDlg(QWidget* parent, const TTextExportOptions& o) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("Textexport - Optionen"));
    auto* main = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("Notebook"));

    auto* optionsPage = new QWidget(pages);
    auto* optionsLayout = new QVBoxLayout(optionsPage);
    charset_ = new TRadioGroup(QStringLiteral("Zeichensatz"),
                               {QStringLiteral("ASCII (DOS)"), QStringLiteral("ANSI (WIN)"),
                                QStringLiteral("UTF-8 (Unicode)")},
                               3, optionsPage);
    charset_->setObjectName(QStringLiteral("ZeichensatzGroup"));
    charset_->SetItemIndex(o.Charset, TTextExportOptions::csWindows);
    optionsLayout->addWidget(charset_);

    auto* fields = new QGroupBox(QStringLiteral("Felder"), optionsPage);
    auto* form = new QFormLayout(fields);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    separator_ = CharCombo(fields, QStringLiteral("TrennzeichenCombo"),
                           {QStringLiteral(";"), QStringLiteral(","), QStringLiteral(":"),
                            QStringLiteral("|"), QStringLiteral("{TAB}"), QStringLiteral("{LEER}")},
                           CharText(o.Separator));
    quote_ = CharCombo(fields, QStringLiteral("BegrenzungszeichenCombo"),
                       {QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("*")},
                       CharText(o.QuoteChar));
    form->addRow(QStringLiteral("Trennzeichen"), separator_);
    form->addRow(QStringLiteral("Begrenzungszeichen"), quote_);
    header_ = Check(fields, QStringLiteral("mit Spaltenüberschriften der Felder"),
                    QStringLiteral("HeaderCB"), o.WithHeader);
    quoted_ = Check(fields, QStringLiteral("Felder mit Begrenzungszeichen "),
                    QStringLiteral("QuoteCB"), o.QuoteFields);
    form->addRow(header_);
    form->addRow(quoted_);
    optionsLayout->addWidget(fields);
    optionsLayout->addWidget(CheckGroup(
        optionsPage,
        {{&disciplines_, "incl. Ergebnisse der Disziplinen", "DisziplinenCB", o.WithDisciplines},
         {&nonStarters_, "incl. nicht angetretene Teilnehmer", "NichtAngetretenCB",
          o.WithNonStarters}}));
    optionsLayout->addStretch();
    pages->addTab(optionsPage, QStringLiteral("Optionen"));

    // The field lists are kept for the user's overview; the export writes its whole
    // column set whatever they hold.
    auto* fieldsPage = new QWidget(pages);
    auto* fieldsLayout = new QHBoxLayout(fieldsPage);
    QStringList names = {QStringLiteral("Platz"), QStringLiteral("Gesamtpunkte"),
                         QStringLiteral("Name"), QStringLiteral("Vorname"),
                         QStringLiteral("Geburtsdatum")};
    for (int k = 1; k <= 5; ++k)
        names << QStringLiteral("Zeit %1").arg(k) << QStringLiteral("Strafpunkte %1").arg(k)
              << QStringLiteral("Punkte %1").arg(k);
    names << QStringLiteral("HLW Punkte");
    auto list = [&](const QString& caption, const QString& name) {
        auto* column = new QVBoxLayout;
        auto* l = new QListWidget(fieldsPage);
        l->setObjectName(name);
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->addItems(names);
        auto* label = new QLabel(caption, fieldsPage);
        label->setBuddy(l);
        column->addWidget(label);
        column->addWidget(l);
        fieldsLayout->addLayout(column, 1);
        return l;
    };
    auto button = [&](QVBoxLayout* column, const QString& text, const QString& name,
                      const QString& tip) {
        auto* b = new QPushButton(text, fieldsPage);
        b->setObjectName(name);
        b->setAutoDefault(false);
        SetHint(b, tip);
        column->addWidget(b);
        return b;
    };
    possible_ = list(QStringLiteral("mögliche Felder:"), QStringLiteral("MoeglicheList"));
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    add_ = button(moves, QStringLiteral(">"), QStringLiteral("AddBtn"),
                  QStringLiteral("Gewählte Felder exportieren"));
    addAll_ = button(moves, QStringLiteral(">>"), QStringLiteral("AddAllBtn"),
                     QStringLiteral("Alle Felder exportieren"));
    remove_ = button(moves, QStringLiteral("<"), QStringLiteral("RemoveBtn"),
                     QStringLiteral("Gewählte Felder nicht exportieren"));
    removeAll_ = button(moves, QStringLiteral("<<"), QStringLiteral("RemoveAllBtn"),
                        QStringLiteral("Kein Feld exportieren"));
    moves->addStretch();
    fieldsLayout->insertLayout(1, moves);
    exported_ = list(QStringLiteral("exportierte Felder:"), QStringLiteral("ExportierteList"));
    auto* order = new QVBoxLayout;
    order->addStretch();
    up_ = button(order, QStringLiteral("▲"), QStringLiteral("UpBtn"),
                 QStringLiteral("Gewählte Felder nach oben"));
    down_ = button(order, QStringLiteral("▼"), QStringLiteral("DownBtn"),
                   QStringLiteral("Gewählte Felder nach unten"));
    order->addStretch();
    fieldsLayout->addLayout(order);
    for (QPushButton* b : {add_, addAll_, remove_, removeAll_, up_, down_})
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral(">>")) + 32);
    pages->addTab(fieldsPage, QStringLiteral("Felder"));
    main->addWidget(pages);

    connect(add_, &QPushButton::clicked, this, [this] { MoveFields(possible_, exported_, false); });
    connect(addAll_, &QPushButton::clicked, this,
            [this] { MoveFields(possible_, exported_, true); });
    connect(remove_, &QPushButton::clicked, this,
            [this] { MoveFields(exported_, possible_, false); });
    connect(removeAll_, &QPushButton::clicked, this,
            [this] { MoveFields(exported_, possible_, true); });
    connect(up_, &QPushButton::clicked, this, [this] { MoveExported(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { MoveExported(1); });
    for (QListWidget* l : {possible_, exported_})
        connect(l, &QListWidget::itemSelectionChanged, this, &TOptTXTDlg::UpdateFieldButtons);
    UpdateFieldButtons();

    QDialogButtonBox* buttons = AddOkCancel(*this, *main);
    buttons->addButton(QStringLiteral("Hilfe"), QDialogButtonBox::HelpRole)->setEnabled(false);
    charset_->Button(charset_->ItemIndex())->setFocus();
}

void TOptTXTDlg::UpdateFieldButtons() {
    auto selected = [](QListWidget* l) { return !l->selectedItems().isEmpty(); };
    add_->setEnabled(selected(possible_));
    addAll_->setEnabled(possible_->count() > 0);
    remove_->setEnabled(selected(exported_));
    removeAll_->setEnabled(exported_->count() > 0);
    // A selected field can move when its neighbour in that direction is not selected.
    auto canMove = [this](int step) {
        for (int r = 0; r < exported_->count(); ++r) {
            const int n = r + step;
            if (exported_->item(r)->isSelected() && n >= 0 && n < exported_->count() &&
                !exported_->item(n)->isSelected())
                return true;
        }
        return false;
    };
    up_->setEnabled(canMove(-1));
    down_->setEnabled(canMove(1));
}

void TOptTXTDlg::MoveFields(QListWidget* from, QListWidget* to, bool all) {
    for (int r = 0; r < from->count();) {
        if (!all && !from->item(r)->isSelected()) {
            ++r;
            continue;
        }
        QListWidgetItem* item = from->takeItem(r);
        if (to->findItems(item->text(), Qt::MatchExactly).isEmpty()) to->addItem(item->text());
        delete item;
    }
    UpdateFieldButtons();
}

void TOptTXTDlg::MoveExported(int step) {
    const int n = exported_->count();
    for (int i = 0; i < n; ++i) {
        const int r = step < 0 ? i : n - 1 - i;
        const int to = r + step;
        if (to < 0 || to >= n || !exported_->item(r)->isSelected() ||
            exported_->item(to)->isSelected())
            continue;
        QListWidgetItem* item = exported_->takeItem(r);
        exported_->insertItem(to, item);
        item->setSelected(true);
    }
    UpdateFieldButtons();
}

TTextExportOptions TOptTXTDlg::Options() const {
    TTextExportOptions o;
    switch (charset_->ItemIndex()) {
    case TTextExportOptions::csDos:
        o.Charset = TTextExportOptions::csDos;
        break;
    case TTextExportOptions::csUtf8:
        o.Charset = TTextExportOptions::csUtf8;
        break;
    default:
        o.Charset = TTextExportOptions::csWindows;
        break;
    }
    o.QuoteFields = quoted_->isChecked();
    o.WithDisciplines = disciplines_->isChecked();
    o.WithNonStarters = nonStarters_->isChecked();
    o.WithHeader = header_->isChecked();
    // The characters are written as they are, in the chosen character set.
    auto character = [&](const QComboBox* c) {
        std::string t = ToOem(c->currentText());
        if (t.size() == 1 && o.Charset == TTextExportOptions::csWindows) t = OemToAnsi(t);
        return t;
    };
    o.Separator = SeparatorFromText(character(separator_));
    const std::string q = character(quote_);
    o.QuoteChar = q.empty() ? TTextExportOptions{}.QuoteChar : q[0];
    return o;
}

bool TOptTXTDlg::Open(QWidget* parent, TTextExportOptions& o) {
    TOptTXTDlg dlg(parent, o);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    o = dlg.Options();
    return true;
}

// ---- HTML export ----------------------------------------------------------------------

TOptHTMLDlg::TOptHTMLDlg(QWidget* parent, const THtmlExportOptions& o)
    : TDataDlg(parent), withHeatLane_(o.WithHeatLane) {
    setWindowTitle(QStringLiteral("HTML Optionen"));
    auto* main = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    form_ = new TRadioGroup(QStringLiteral("Teilnehmer"),
                            {QStringLiteral("Tabellenform"), QStringLiteral("Textform")}, 1, this);
    form_->setObjectName(QStringLiteral("TeilnehmerGroup"));
    form_->SetItemIndex(o.TableForm ? 0 : 1);
    row->addWidget(form_);

    row->addWidget(
        CheckGroup(this, {{&links_, "Sprungziele für Altersklassen", "LinksCB", o.AgeClassLinks},
                          {&disciplines_, "incl. Ergebnisse der Disziplinen", "DisziplinenCB",
                           o.WithDisciplines}}),
        1);
    main->addLayout(row);

    auto* background = new QGroupBox(QStringLiteral("Hintergrundoptionen"), this);
    auto* form = new QFormLayout(background);
    picture_ = new QLineEdit(QString::fromStdString(o.BackgroundPicture), background);
    picture_->setObjectName(QStringLiteral("BildEdit"));
    picture_->setMaxLength(255);
    picture_->setMinimumWidth(picture_->fontMetrics().averageCharWidth() * 30);
    auto* browse = new QPushButton(QStringLiteral("&Durchsuchen..."), background);
    browse->setObjectName(QStringLiteral("DurchsuchenBtn"));
    browse->setAutoDefault(false);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(picture_, 1);
    pictureRow->addWidget(browse);
    colour_ = new QComboBox(background);
    colour_->setObjectName(QStringLiteral("FarbeCombo"));
    for (const std::string& e : HtmlColourEntries())
        colour_->addItem(QString::fromStdString(e));
    colour_->setCurrentIndex(
        static_cast<int>(colour_->findText(QString::fromStdString(o.BackgroundColour))));
    form->addRow(QStringLiteral("Bild"), pictureRow);
    form->addRow(QString(), new QLabel(QStringLiteral("oder"), background));
    form->addRow(QStringLiteral("Farbe"), colour_);
    // The label of a row with a layout has no buddy of its own.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(pictureRow)))
        label->setBuddy(picture_);
    main->addWidget(background);
    AddOkCancel(*this, *main);
    connect(browse, &QPushButton::clicked, this, &TOptHTMLDlg::Browse);
    form_->Button(form_->ItemIndex())->setFocus();
}

void TOptHTMLDlg::Browse() {
    TFileRequest req;
    req.caption = QStringLiteral("Hintergrundbild");
    req.filter = QStringLiteral("Bilder (*.BMP *.PCX *.GIF);;Bitmap (*.BMP);;Paintbrush (*.PCX);;"
                                "Compuserve Graphics (*.GIF);;Alle Dateien (*)");
    req.mustExist = true;
    const QString name = AskFileName(this, req);
    // The page refers to the picture beside it, by its name alone.
    if (!name.isEmpty()) picture_->setText(QFileInfo(name).fileName());
}

THtmlExportOptions TOptHTMLDlg::Options() const {
    THtmlExportOptions o;
    o.TableForm = form_->ItemIndex() == 0;
    o.AgeClassLinks = links_->isChecked();
    o.WithDisciplines = disciplines_->isChecked();
    o.WithHeatLane = withHeatLane_;
    o.BackgroundColour = colour_->currentIndex() >= 0 ? colour_->currentText().toStdString() : "";
    o.BackgroundPicture = picture_->text().trimmed().toStdString();
    return o;
}

bool TOptHTMLDlg::Open(QWidget* parent, THtmlExportOptions& o) {
    TOptHTMLDlg dlg(parent, o);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    o = dlg.Options();
    return true;
}

// ---- PDF ------------------------------------------------------------------------------

TOptPDFDlg::TOptPDFDlg(QWidget* parent, const TPdfInfo& info) : TDataDlg(parent) {
    setWindowTitle(QStringLiteral("PDF Optionen"));
    auto* main = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Optionen"), this);
    auto* form = new QFormLayout(box);
    auto edit = [&](const QString& caption, const QString& name, const std::string& value) {
        auto* e = new QLineEdit(box);
        e->setObjectName(name);
        e->setMaxLength(80);
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 64);
        e->setText(FromAnsi(value));
        // Show the beginning of a long text, not its end.
        e->setCursorPosition(0);
        form->addRow(caption, e);
        return e;
    };
    title_ = edit(QStringLiteral("&Titel"), QStringLiteral("Edit1"), info.Title);
    subject_ = edit(QStringLiteral("T&hema"), QStringLiteral("Edit2"), info.Subject);
    author_ = edit(QStringLiteral("&Verfasser"), QStringLiteral("Edit3"), info.Author);
    keywords_ = edit(QStringLiteral("&Stichwörter"), QStringLiteral("Edit4"), info.Keywords);
    compress_ = Check(box, QStringLiteral("kom&primierte Datei erzeugen"),
                      QStringLiteral("CheckBox1"), info.Compress);
    // Streams are never compressed.
    compress_->setEnabled(false);
    form->addRow(compress_);
    loadPdf_ = Check(box, QStringLiteral("PDF laden"), QStringLiteral("LoadPDFCB"), true);
    loadPdf_->setEnabled(false);
    loadPdf_->setVisible(false);
    main->addWidget(box);
    AddOkCancel(*this, *main);
    title_->setFocus();
}

void TOptPDFDlg::Store(TPdfInfo& info) const {
    info.Title = ToAnsi(title_->text(), 80);
    info.Subject = ToAnsi(subject_->text(), 80);
    info.Author = ToAnsi(author_->text(), 80);
    info.Keywords = ToAnsi(keywords_->text(), 80);
    info.Compress = compress_->isChecked();
}

bool TOptPDFDlg::LoadAfterExport() const {
    return loadPdf_->isChecked();
}

bool TOptPDFDlg::Open(QWidget* parent, TPdfInfo& info, bool* loadAfter) {
    TOptPDFDlg dlg(parent, info);
    if (ExecDialog(dlg) != QDialog::Accepted) return false;
    dlg.Store(info);
    if (loadAfter) *loadAfter = dlg.LoadAfterExport();
    return true;
}

void TOptPDFDlg::LoadPdf(const QString& fileName) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
}

} // namespace vm::ui
