#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

// Lets a window take a *.par file dropped from a file manager: one local file whose name ends
// in .par is accepted, anything else is refused at the border. What becomes of the file is the
// program's (`dropped`).
class ParameterFileDrop : public QObject {
    Q_OBJECT
public:
    explicit ParameterFileDrop(QWidget& window);

    // The parameter file `data` carries, or an empty text.
    static QString parameterFile(const QMimeData* data);

signals:
    void dropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
