// The "Add Files" window: a folder tree, the files of the chosen folder and
// the buttons that add them. It shows an AddFilesForm and sends its buttons
// out as commands.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "playlist/adding_files.h"

class QCheckBox;
class QFileSystemModel;
class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeView;
class QWidget;

namespace qmb {

struct AddFilesHooks {
  std::function<void(int id)> command;
  // A folder was chosen in the tree (its path as the file system names it).
  std::function<void(const std::string& folder)> folderChosen;
};

class AddFilesWindow : public QObject {
 public:
  AddFilesWindow(AddFilesForm& form, AddFilesHooks hooks);
  ~AddFilesWindow() override;

  QWidget* Window() const { return window_; }
  // Selects `folder` in the tree, which lists it.
  void SelectFolder(const std::string& folder);

  QTreeView* Tree() const { return tree_; }
  QListWidget* FileList() const { return files_; }
  QCheckBox* ClearFirst() const { return clearFirst_; }
  QCheckBox* CloseWhenDone() const { return closeWhenDone_; }
  QProgressBar* Progress() const { return progress_; }
  QGroupBox* Group() const { return group_; }
  QPushButton* Button(int id) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowFiles();
  void ShowProgress();
  void SelectionToForm();

  AddFilesForm& form_;
  AddFilesHooks hooks_;
  QWidget* window_ = nullptr;
  QFileSystemModel* folders_ = nullptr;
  QTreeView* tree_ = nullptr;
  QListWidget* files_ = nullptr;
  QCheckBox* clearFirst_ = nullptr;
  QCheckBox* closeWhenDone_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QGroupBox* group_ = nullptr;
  std::vector<QPushButton*> buttons_;
  std::vector<std::pair<ChangeSignal*, int>> connections_;
};

}  // namespace qmb
