#include "mj_info_dlg.h"

void CMjInfoDlg::SetBoard(IMjBoardCalls* board, IMjChooserWindow* window) {
  m_pBoard = board;
  m_pWindow = window;
  if (m_pBoard) m_pBoard->SetBkColor(kBackColor);
}

void CMjInfoDlg::ShowOptions() {
  if (m_pBoard == nullptr) return;
  m_shownRows.clear();
  m_pBoard->ClearAll();
  for (size_t i = 0; i < m_Options.size(); ++i) {
    const auto id = static_cast<int16_t>(i);
    const MjOption& option = m_Options[i];
    for (size_t j = 0; j < option.size(); ++j) {
      const MjTileGroup& group = option[j];
      if (group.empty()) continue;
      const auto n = static_cast<int16_t>(group.size());
      if (j == 0) {
        m_pBoard->InsertRow(id, n, group.data());
        // The board keeps rows 0 to 2 only.
        if (id < kBoardRows) m_shownRows.push_back(id);
      } else {
        m_pBoard->AddCards(id, n, group.data());
      }
    }
  }
  m_pBoard->Update();
  if (m_pWindow) m_pWindow->ShowAtTableCorner();
}

void CMjInfoDlg::Hide() {
  if (m_pWindow) m_pWindow->Hide();
}

void CMjInfoDlg::OnBoardClick(int16_t index) {
  if (index >= 0 && static_cast<size_t>(index) < m_shownRows.size()) {
    const int16_t option = m_shownRows[static_cast<size_t>(index)];
    m_shownRows.clear();
    const MjOption& chosen = m_Options[static_cast<size_t>(option)];
    if (!chosen.empty() && chosen[0].size() == 3) {
      m_pPlayTable.ChiWithChoice(option);
    } else {
      m_pPlayTable.GangWithChoice(option);
    }
  }
  Hide();
}
