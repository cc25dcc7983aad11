#pragma once

#include <QWidget>

class QLabel;
class OstrelIcon;

// The brand logo of the title bar: star, claim and closing line. The claim's artwork
// follows the interface language.
class OstrelLogo : public QWidget
{
    Q_OBJECT
public:
    explicit OstrelLogo(QWidget* parent = nullptr);

    void retranslateToolTips();
    OstrelIcon* icon() const { return m_icon; }
    QLabel* claim() const { return m_claim; }
    QLabel* closingLine() const { return m_closingLine; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void renderArtwork();

    OstrelIcon* m_icon = nullptr;
    QLabel* m_claim = nullptr;
    QLabel* m_closingLine = nullptr;
};
