#include "meter/MBusLine.h"

#include <algorithm>

namespace meter {

void MBusLineOutcome::Commit() const {
    for (const auto& c : commits)
        if (c) c();
}

MBusLineOutcome MBusLine::Handle(const MBusFrame& frame) {
    MBusLineOutcome line;
    // Every meter on the line notices the frame, also one whose answer is then
    // lost or dropped.
    for (const auto& m : meters_) m->Meter().NoteRequest();
    for (size_t k = 0; k < meters_.size(); ++k) {
        MBusOutcome o = meters_[k]->Handle(frame);
        if (o.commit) line.commits.push_back(std::move(o.commit));
        if (!o.addressed) continue;
        line.addressed = true;
        if (o.newBaud) line.newBaud = o.newBaud;
        if (!line.what.empty()) line.what += "; ";
        line.what += "meter " + std::to_string(k + 1) + ": " + o.what;
        if (!o.answer) continue;
        ++line.answering;
        if (!line.answer) {
            line.answer = std::move(o.answer);
            continue;
        }
        // Meters that send at once: a zero bit from any of them wins, and the
        // idle line reads as ones.
        Bytes& heard = *line.answer;
        if (heard.size() < o.answer->size()) heard.resize(o.answer->size(), 0xFF);
        for (size_t i = 0; i < o.answer->size(); ++i) heard[i] &= (*o.answer)[i];
    }
    if (line.answering > 1) line.what += " (answers collide)";
    return line;
}

}  // namespace meter
