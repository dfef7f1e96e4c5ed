#pragma once

#include "convert/output.h"
#include "qt_printers.h"

#include <QStringList>

// Stands in for the system clipboard in converter tests: keeps every text put on it.
class RecordingClipboard : public kasorel::Clipboard {
public:
    void SetAsText(const QString& t) override { texts.append(t); }
    // The clipboard's content after the last write; empty text when nothing was written.
    QString last() const { return texts.isEmpty() ? QString() : texts.back(); }
    QStringList texts;
};
