// The one channel through which the core speaks to the user.  The windowed
// program implements it with message boxes, the command-line program writes to
// standard error, and tests record what was said.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pelmora {

class GridEditing;

// The program's title: the caption of every message box unless a caller
// names another one.
inline constexpr const char* kProgramTitle = "Pelmora";
inline constexpr const char* kProgramVersion = "1.0";

enum class MessageIcon { None, Information, Exclamation, Question, Critical };
enum class Answer { Yes, No, Cancel };

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal message with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // The warning sound.
  virtual void Beep() = 0;
  // A modal question with Yes, No and Cancel buttons.
  virtual Answer AskYesNoCancel(const std::string& text, const std::string& title) = 0;
  // The grid dialog, modal: the user types the cells and ends with OK or
  // Cancel.  Where no grid can be shown the entry is cancelled.
  virtual void EditGrid(GridEditing& grid);

  // The usual case: an exclamation box titled with the program title.
  void Warn(const std::string& text) { ShowMessage(text, kProgramTitle, MessageIcon::Exclamation); }
};

// Keeps every message and beep; answers questions with a preset answer.
class RecordingUserInterface : public UserInterface {
 public:
  struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
  };
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }
  void Beep() override { ++beeps; }
  Answer AskYesNoCancel(const std::string& text, const std::string& title) override {
    questions.push_back({text, title, MessageIcon::Question});
    return answer;
  }
  // Plays the user's part in a grid entry; without a script the entry is
  // cancelled.
  void EditGrid(GridEditing& grid) override;
  std::function<void(GridEditing&)> gridScript;
  int grids = 0;
  // The text of the last message, or empty.
  std::string LastText() const { return messages.empty() ? std::string() : messages.back().text; }

  std::vector<Message> messages;
  std::vector<Message> questions;
  int beeps = 0;
  Answer answer = Answer::Cancel;
};

}  // namespace pelmora
