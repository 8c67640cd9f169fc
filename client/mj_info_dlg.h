// CMjInfoDlg: the option chooser. When the rules engine offers more than one chow or kong, the
// play table puts the choices on the board and the player's click on a row sends that choice.
// This is the dialog's logic; the window that hosts the board is reached through
// IMjChooserWindow.
#pragma once
#include <cstdint>
#include <vector>

#include "mj_play_table_seams.h"

// What the dialog calls back on the play table.
class IMjChoiceTarget {
 public:
  virtual ~IMjChoiceTarget() = default;
  virtual void ChiWithChoice(int16_t index) = 0;
  virtual void GangWithChoice(int16_t index) = 0;
};

// An option is a list of tile groups; every option the play table builds has one group.
using MjTileGroup = std::vector<card>;
using MjOption = std::vector<MjTileGroup>;

class CMjInfoDlg {
 public:
  static constexpr int32_t kBackColor = 0xD6D6D6;
  // Rows the board shows (ids 0 to 2).
  static constexpr int kBoardRows = 3;

  explicit CMjInfoDlg(IMjChoiceTarget& playTable) : m_pPlayTable(playTable) {}

  // The board and its window once they exist; the board gets the dialog's background colour.
  // Without a board ShowOptions does nothing.
  void SetBoard(IMjBoardCalls* board, IMjChooserWindow* window);
  void ReleaseBoard() { m_pBoard = nullptr; }

  void ClearOptions() { m_Options.clear(); }
  void AddOption(MjOption option) { m_Options.push_back(std::move(option)); }
  const std::vector<MjOption>& Options() const { return m_Options; }

  // Puts the options on the board and shows the dialog.
  void ShowOptions();
  void Hide();
  // The board's Click: index is the row's place in the board's display list.
  void OnBoardClick(int16_t index);

 private:
  IMjChoiceTarget& m_pPlayTable;
  IMjBoardCalls* m_pBoard = nullptr;
  IMjChooserWindow* m_pWindow = nullptr;
  std::vector<MjOption> m_Options;
  // The option behind each row of the board's display list, in display order. Emptied by a
  // click, so that a second click on a board already answered sends nothing.
  std::vector<int16_t> m_shownRows;
};
