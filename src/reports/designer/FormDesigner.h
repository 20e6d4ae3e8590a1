// The template designer "单据设计": a template's page at scale with its bands, whose
// elements the user selects, moves, resizes, adds and deletes with the mouse or the keys,
// and whose texts, fonts, alignment and frames he sets in the panel beside it. Every change
// is one step on an undo stack; the file is written only by 保存 or 另存为, through a
// temporary file renamed into place. 预览 shows the template as it stands over sample rows.
// The file dialogs start in the program's Frf folder.
#pragma once

#include "ReportTemplate.h"
#include "TemplateFields.h"

#include <QDialog>
#include <QImage>
#include <QHash>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGraphicsScene;
class QGraphicsView;
class QLineEdit;
class QPushButton;
class QUndoStack;
class TBandItem;
class TElementItem;
class TFormFieldChose;

class TFormDesigner : public QDialog
{
    Q_OBJECT
public:
    static constexpr double MinBandHeight = 2;   // mm
    static constexpr double Step = 0.5;          // mm, an arrow key's move
    static constexpr double BigStep = 5;         // mm, with Shift

    explicit TFormDesigner(QWidget *parent = nullptr);
    ~TFormDesigner() override;

    // Input: the template opened at the next showing; empty starts a new one.
    QString TemplatePath;
    // The fields and variables a template offers, by its file name (TemplateFields
    // unless the caller sets another table).
    std::function<QList<TemplateField>(const QString &fileName)> FieldsOf = TemplateFields;

    // The toolbar.
    QPushButton *ButtonOpen, *ButtonSave, *ButtonSaveAs, *ButtonUndo, *ButtonRedo;
    QPushButton *ButtonText, *ButtonField, *ButtonPicture, *ButtonLine, *ButtonDelete;
    QPushButton *ButtonPreview, *ButtonClose;
    QComboBox *ComboZoom;
    QGraphicsView *View1;
    // The panel.
    QComboBox *ComboElement;
    QComboBox *ComboBand;
    QDoubleSpinBox *SpinBandHeight;
    QLineEdit *EditText;
    QComboBox *ComboFont;
    QDoubleSpinBox *SpinSize;
    QCheckBox *CheckBold;
    QComboBox *ComboAlign;
    QComboBox *ComboFormat;     // a number or date format, typed or chosen
    QCheckBox *CheckWrap;
    QCheckBox *CheckFrame[4];   // 左, 上, 右, 下
    QDoubleSpinBox *SpinX, *SpinY, *SpinWidth, *SpinHeight;
    // The company name every template prints as {{CompanyName}}, kept in the settings file.
    QLineEdit *EditCompany;
    QPushButton *ButtonCompany;   // 确定: writes it

    // The template as it stands, the file it came from (empty for a new one), whether it
    // differs from that file.
    const ReportTemplate &Template() const { return m_report; }
    QString CurrentPath() const { return m_path; }
    bool Modified() const;
    QUndoStack *UndoStack() const { return m_undo; }

    // Opens a template; false, with its message shown, when it cannot be read (the one
    // shown stays).
    bool OpenTemplate(const QString &path);
    void NewTemplate();
    void ActionOpenExecute();
    // False when nothing was written (cancelled, or failed with its message).
    bool ActionSaveExecute();
    bool ActionSaveAsExecute();
    void AddText();
    void AddField();
    void AddPicture();
    void AddLine();
    void DeleteSelection();
    // Shows the template as it stands, saved or not, over sample rows.
    void ActionPreviewExecute();
    void ButtonCompanyClick();
    // Moves (or, with resize, widens and heightens) the selected elements by mm.
    void Nudge(double dx, double dy, bool resize = false);

    // The elements selected, as (band, element) places in the template.
    QList<QPair<int, int>> Selection() const;
    void Select(const QList<QPair<int, int>> &places);

    // For the page's items.
    void BandClicked(BandKind kind);
    void SetBandHeight(BandKind kind, double height);
    void GeometryChanged();
    QImage Picture(const QString &fileName);
    QString FrfFolder() const;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Change;
    struct State
    {
        ReportTemplate report;
        QList<QPair<int, int>> selection;
        BandKind band;
    };

    void buildToolbar(class QHBoxLayout *bar);
    QWidget *buildPanel();
    void setTabOrders();
    // One undoable step from the template as it is to edited.
    void change(const QString &what, const std::function<void(ReportTemplate &)> &edit,
                const QList<QPair<int, int>> &selectAfter = {}, bool keepSelection = true);
    void apply(const State &state);
    void rebuild();
    void layoutBands();
    void fillPanel();
    void fillElementList();
    void updateTitle();
    void setZoom();
    bool saveTo(const QString &path);
    void addElement(const ReportElement &element);
    ReportElement *currentElement(ReportTemplate &report) const;
    void editCurrent(const QString &what, const std::function<void(ReportElement &)> &edit,
                     bool allSelected = false);
    void selectionChanged();

    ReportTemplate m_report;
    QString m_path;
    BandKind m_band = BandKind::Detail;
    QUndoStack *m_undo;
    QGraphicsScene *m_scene;
    QList<TBandItem *> m_bandItems;
    QList<QList<TElementItem *>> m_elementItems;
    TFormFieldChose *m_chooser;
    QHash<QString, QImage> m_pictures;
    bool m_filling = false;
};

extern TFormDesigner *FormDesigner;
