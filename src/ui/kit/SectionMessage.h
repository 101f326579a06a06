#pragma once

#include <QWidget>

class QLabel;

// One line of a section that stands in for its rows or follows them: a plain hint, a loading line
// with a small progress indicator, or an error line with an orange warning sign. Indented on the
// leading side by the given points.
class SectionMessage : public QWidget {
    Q_OBJECT

public:
    enum class Kind { plain, loading, error };

    // Plain and loading lines at 11 pt, error lines at 10 pt, all in the secondary colour.
    SectionMessage(Kind kind, const QString& text, int indent, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    QString text() const;

private:
    Kind m_kind;
    QLabel* m_label;
};
