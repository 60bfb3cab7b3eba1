#include "ui/ParameterFileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

ParameterFileDrop::ParameterFileDrop(QWidget& window)
    : QObject(&window) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

QString ParameterFileDrop::parameterFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QLatin1String(".par"), Qt::CaseInsensitive) ? path : QString();
}

bool ParameterFileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (parameterFile(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = parameterFile(drop->mimeData());
        if (path.isEmpty()) return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The file opens once the drop is over: the file manager is not kept waiting while
        // the service window runs.
        QMetaObject::invokeMethod(
            this, [this, path] { emit dropped(path); }, Qt::QueuedConnection);
        return true;
    }
    default: return QObject::eventFilter(watched, event);
    }
}
