#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kivo {

// The quick-button bar pctTop of the sales layout: seven large counter buttons cmdBill(1..7)
// and the enterprise's short name txtComp2 near the right edge. A click emits clicked with
// the button's index.
class QuickButtons : public QWidget {
    Q_OBJECT
public:
    explicit QuickButtons(QWidget* parent = nullptr);

    static constexpr int Buttons = 7;
    QToolButton* Button(int index) const; // 1..7
    void SetEnterpriseShort(const QString& shortName);
    // The bar's and the short name's background.
    void SetTexture(const QColor& texture);

    QSize sizeHint() const override;

signals:
    void clicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    QToolButton* m_buttons[Buttons];
    QLineEdit* m_company;
};

} // namespace kivo
