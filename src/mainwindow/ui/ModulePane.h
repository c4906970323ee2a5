#pragma once

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace kivo {

// One module label lblMod(i): its text is the caption ("Product    >"), drawn as the module's
// picture, its name and an arrow.
class ModuleLabel : public QLabel {
    Q_OBJECT
public:
    ModuleLabel(int index, QWidget* parent);
    int Index() const { return m_index; }
    QSize sizeHint() const override;

signals:
    void hovered(int index);
    void clicked(int index);

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_index;
    QIcon m_icon; // read once; the label repaints on every hover
};

// The left pane pctLeft, shown while a register or document screen is open: the open
// module's picture imgLeft and caption lblLeft, the find box txtFind with cmdFind, the record
// position lblReco and the nine module labels lblMod(0..8).
class ModulePane : public QWidget {
    Q_OBJECT
public:
    explicit ModulePane(QWidget* parent = nullptr);

    static constexpr int Modules = 9;
    // Caption, tooltip and Transaction entry of module i.
    static QString ModuleCaption(int module);
    static QString ModuleTooltip(int module);
    static int ModuleEntry(int module);

    // The open screen's caption, and the picture of its module when it is one of the nine.
    void SetScreenCaption(const QString& caption);
    void SetPositionText(const QString& text);
    QString FindText() const;
    void SetFindText(const QString& text);
    ModuleLabel* Module(int index) const { return m_modules[index]; }

    // The back-office colours: pane and record label on the texture colour, module labels on
    // the back colour, captions in the text colour. Invalid colours leave a part as designed.
    void SetColours(const QColor& back, const QColor& texture, const QColor& text);
    // Every module label on its back colour again (any hover colour is cleared).
    void ResetModuleColours();
    int HoveredModule() const { return m_hovered; }

signals:
    void moduleClicked(int index);
    // Enter or Escape in the find box, or the Find button.
    void findRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Hover(int index);
    void SetLabelBackground(ModuleLabel* label, const QColor& colour);
    void Arrange();

    QLabel* m_picture;
    QLabel* m_caption;
    QLineEdit* m_find;
    QPushButton* m_findButton;
    QLabel* m_position;
    ModuleLabel* m_modules[Modules];
    QColor m_moduleBack;
    int m_hovered = -1;
};

} // namespace kivo
