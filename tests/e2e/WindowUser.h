#pragma once
// The user of the end-to-end window tests: reads and closes message boxes,
// notes every state of the progress window and presses its "Ok" (or, when
// asked to, whatever it offers to stop the work).
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/ProgrWin.h"

namespace rig {

// What a user sees of the modal windows while a handler runs: message boxes
// are read and closed with OK; every state of the progress window is noted,
// and its button is pressed once the window offers "Ok".
class User {
public:
    struct Seen {
        QString id, title, text, button;
    };

    // cancelAfter: presses "Cancel" once the window has offered it that long.
    explicit User(std::optional<std::chrono::milliseconds> cancelAfter = std::nullopt) : cancelAfter_(cancelAfter)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(20);
    }

    std::vector<Seen> reports;
    std::vector<QString> boxes;
    // Set: the next button the progress window offers is pressed.
    bool cancelNow = false;

    bool Saw(const QString& text) const
    {
        for (const Seen& s : reports)
            if (s.text == text) return true;
        return false;
    }
    // Everything seen, for a failure message.
    std::string All() const
    {
        QStringList ids;
        for (const Seen& s : reports) ids << s.id + QLatin1Char(':') + s.text;
        return (ids.join(QStringLiteral(", ")) + QStringLiteral(" | boxes: ") +
                QStringList(boxes.begin(), boxes.end()).join(QStringLiteral(", ")))
            .toStdString();
    }

private:
    void Look()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.push_back(box->text());
            box->done(QMessageBox::Ok);
            return;
        }
        if (!ProgrWinForm || !ProgrWinForm->isVisible()) return;
        QPushButton* button = ProgrWinForm->Button_ProgrWin_Terminate;
        const Seen s{ProgrWinForm->LabelIndex->text(), ProgrWinForm->windowTitle(),
                     ProgrWinForm->Label_ProgrBar1->text(), button->isHidden() ? QString() : button->text()};
        if (reports.empty() || reports.back().id != s.id || reports.back().text != s.text) reports.push_back(s);
        if (s.button == QStringLiteral("Ok") || (cancelNow && !s.button.isEmpty())) button->click();
        else if (s.button == QStringLiteral("Cancel") && cancelAfter_) {
            const auto now = std::chrono::steady_clock::now();
            if (!cancelOffered_) cancelOffered_ = now;
            if (now - *cancelOffered_ >= *cancelAfter_) button->click();
        }
    }

    QTimer timer_;
    std::optional<std::chrono::milliseconds> cancelAfter_;
    std::optional<std::chrono::steady_clock::time_point> cancelOffered_;
};

}  // namespace rig
