#pragma once

#include "app/desktop.h"

#include <QStringList>
#include <memory>
#include <vector>

// Stands in for the person at the window: every input box keeps its pre-filled text, every
// question is answered No, and the error boxes are recorded instead of waiting for OK. The
// record is shared, so a suite keeps reading it after the window has taken the desktop over.
class RecordingDesktop : public kasorel::Desktop {
public:
    struct Box {
        QString caption, text;
    };
    QString InputBox(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    bool Confirm(const QString&) override { return false; }
    void Inform(const QString&) override {}
    void ShowError(const QString& caption, const QString& text) override {
        errors->push_back({caption, text});
    }
    void OpenUrl(const QString&) override {}
    std::shared_ptr<std::vector<Box>> errors = std::make_shared<std::vector<Box>>();
};

// The texts of the recorded error boxes, in the order they were raised.
inline QStringList ErrorTexts(const std::vector<RecordingDesktop::Box>& boxes) {
    QStringList texts;
    for (const RecordingDesktop::Box& box : boxes)
        texts.append(box.text);
    return texts;
}
