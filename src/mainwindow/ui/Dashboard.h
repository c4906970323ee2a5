#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivo {

// The dashboard pctDash: heading lblHead "DashBoard", the enterprise's short name txtComp1,
// and six frames frmDash(0..5), one per table of ExportTables, each with four titles, four
// values (the newest row's first four columns) and a button cmdDash(i) that opens the frame's
// screen. The frames stand where the back-office layout puts them: their centres are 16% of
// the width apart, the first at 10%.
class Dashboard : public QWidget {
    Q_OBJECT
public:
    explicit Dashboard(QWidget* parent = nullptr);

    static constexpr int Frames = 6;
    static constexpr int Rows = 4;

    // Values of frame i, in column order; rows past the list keep their text.
    void SetValues(int frame, const QStringList& values);
    QString Value(int frame, int row) const;
    void SetEnterpriseShort(const QString& shortName);
    QPushButton* Button(int frame) const { return m_buttons[frame]; }

    // Back colour of the dashboard and its frames, text colour of titles and captions.
    // Invalid colours leave a part as designed.
    void SetColours(const QColor& back, const QColor& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void openRequested(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect ShapeRect() const;
    void Arrange();

    QLabel* m_heading;
    QLineEdit* m_company;
    QWidget* m_frames[Frames];
    QLabel* m_captions[Frames];
    QLabel* m_titles[Frames][Rows];
    QLabel* m_values[Frames][Rows];
    QPushButton* m_buttons[Frames];
};

} // namespace kivo
