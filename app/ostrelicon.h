#pragma once

#include <QWidget>

class QLabel;

// The brand star; a click opens the brand's website.
class OstrelIcon : public QWidget
{
    Q_OBJECT
public:
    explicit OstrelIcon(QWidget* parent = nullptr);

    static QUrl websiteUrl();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_label = nullptr;
};
