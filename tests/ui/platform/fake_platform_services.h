#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform/platform_services.h"

// Platform services for tests: every call is recorded; dialogs and message
// boxes answer from queues filled by the test (an empty queue answers as a
// cancelled dialog, or with `defaultAnswer` for message boxes).
struct FakePlatformServices : PlatformServices {
    struct Message {
        std::string text;
        MessageIcon icon;
        std::string title;
        MessageButtons buttons;
    };
    enum class DialogKind { Open, Save };
    struct FileDialog {
        DialogKind kind;
        FileDialogRequest request;
        bool confirmOverwrite;
    };
    struct FolderBrowse {
        std::string title;
        std::string initialFolder;
    };

    // Recorded calls.
    std::vector<Message> messages;
    int beeps = 0;                        // the bell of every refusal
    std::vector<std::string> refusals;    // notes of Refuse(), each also a beep
    std::vector<QWidget*> refusedBeside;  // the control of each note; null: the focused one
    std::vector<QRect> refusedAreas;      // the part of that control (a cell); empty: all of it
    std::vector<FileDialog> fileDialogs;
    std::vector<FolderBrowse> folderBrowses;
    std::vector<std::string> desktopOpens;
    std::vector<std::string> associationQueries;
    std::vector<std::vector<std::string>> startedPrograms;
    std::vector<std::string> helpPages;

    // Scripted answers.
    std::deque<MessageAnswer> messageAnswers;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    bool desktopOpenSucceeds = true;
    std::map<std::string, RegisteredProgram> associations;  // by extension
    bool startSucceeds = true;
    std::string clipboard;

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, const std::string& title,
                              MessageButtons buttons) override {
        messages.push_back({text, icon, title, buttons});
        if (messageAnswers.empty())
            return defaultAnswer;
        MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    void Refuse(const std::string& note) override { RefuseBeside(note, nullptr); }
    void RefuseBeside(const std::string& note, QWidget* control, QRect area = {}) override {
        ++beeps;
        refusals.push_back(note);
        refusedBeside.push_back(control);
        refusedAreas.push_back(area);
    }
    std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) override {
        fileDialogs.push_back({DialogKind::Open, request, false});
        return Next(fileAnswers);
    }
    std::optional<std::string> GetSaveFileName(const FileDialogRequest& request,
                                               bool confirmOverwrite) override {
        fileDialogs.push_back({DialogKind::Save, request, confirmOverwrite});
        return Next(fileAnswers);
    }
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& initialFolder) override {
        folderBrowses.push_back({title, initialFolder});
        return Next(folderAnswers);
    }
    bool OpenWithDesktop(const std::string& target) override {
        desktopOpens.push_back(target);
        return desktopOpenSucceeds;
    }
    std::optional<RegisteredProgram> AssociatedProgram(const std::string& ext) override {
        associationQueries.push_back(ext);
        auto it = associations.find(ext);
        if (it == associations.end())
            return std::nullopt;
        return it->second;
    }
    bool StartProgram(const std::vector<std::string>& arguments) override {
        startedPrograms.push_back(arguments);
        return startSucceeds;
    }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void OpenHelp(const std::string& pagePath) override { helpPages.push_back(pagePath); }

  private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
