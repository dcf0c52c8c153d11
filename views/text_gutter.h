#pragma once
// The gutter left of a text pane: the line numbers, the caret's line in bold,
// and a mark for every line with a finding of the last check (its messages as
// tooltip). The pane paints it; the gutter only hands its events over.

#include <QWidget>

class CGSDTextView;

class CTextGutter : public QWidget {
    Q_OBJECT
public:
    explicit CTextGutter(CGSDTextView* view);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CGSDTextView* m_pView;
};
