#pragma once

#include <string>
#include <vector>

#include "core/message_sink.h"

// Message sink for tests: records every message and answers with a preset answer.
struct RecordingMessageSink : MessageSink {
    struct Message {
        std::string text;
        MessageIcon icon;
        std::string title;
        MessageButtons buttons;
    };
    std::vector<Message> messages;
    MessageAnswer answer = MessageAnswer::Ok;

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, const std::string& title,
                              MessageButtons buttons) override {
        messages.push_back({text, icon, title, buttons});
        return answer;
    }
};

struct RecordingCalcMessageSink : CalcMessageSink {
    std::vector<std::string> messages;
    void SetCalcMessage(const std::string& text) override { messages.push_back(text); }
};
