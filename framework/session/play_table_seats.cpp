// The play table's seats: screen locations and seat numbers, seat and table codes of paired
// tables, and the person shown at a location.
#include "vyr_poke_play_table.h"

#include <algorithm>

#include "line_format.h"
#include "person_records.h"
#include "play_table_texts.h"

int16_t CVyrPokePlayTableImp::GetSeatNoFromLoc(int16_t loc) {
  const int16_t seats = m_settings.seatsPerTable;
  if (loc < 0 || loc >= seats) {
    TableNotice box;
    box.kind = NoticeKind::SystemBox;
    box.text = FormatLine(kTextInvalidLoc, static_cast<int>(loc));
    m_notices.Show(box);
    return -1;
  }
  const int16_t own = GetMySeatNo();
  if (loc == 0) return own;
  if (seats < 2 || own < 0 || own >= seats) return -1;
  const auto persons = GetPersons();
  int counted = 0;
  for (int step = 1; step < seats; ++step) {
    const auto seat = static_cast<int16_t>((own + step) % seats);
    const bool player = std::any_of(persons.begin(), persons.end(), [&](const TablePerson* p) {
      return p->status == kStatusPlaying && p->seatno == seat;
    });
    if (player && ++counted == loc) return seat;
  }
  return -1;
}

int16_t CVyrPokePlayTableImp::GetLocFromSeatNo(int16_t seat) {
  const int16_t own = GetMySeatNo();
  if (seat == own) return 0;
  const int16_t seats = m_settings.seatsPerTable;
  // A seat outside the table, or no own seat on it, has no location.
  if (seat < 0 || seat >= seats || own < 0 || own >= seats) return -1;
  const auto persons = GetPersons();
  int16_t counted = 0;
  for (int step = 1; step < seats; ++step) {
    const auto walked = static_cast<int16_t>((own + step) % seats);
    const bool seated = std::any_of(persons.begin(), persons.end(),
                                    [&](const TablePerson* p) { return p->seatno == walked; });
    if (seated) ++counted;
    if (walked == seat) return counted;
  }
  return counted;
}

int16_t CVyrPokePlayTableImp::GetSeatCode(int16_t deskno, int16_t seatno) const {
  if (deskno < 0 || seatno < 0) return -1;
  if (m_settings.doubleStyle && deskno % 2 == 1) {
    return static_cast<int16_t>(seatno + m_settings.seatsPerTable);
  }
  return seatno;
}

int16_t CVyrPokePlayTableImp::GetTableCode(int16_t deskno, int16_t seatno) const {
  if (deskno < 0 || seatno < 0) return -1;
  return m_settings.doubleStyle ? static_cast<int16_t>(deskno / 2) : deskno;
}

int16_t CVyrPokePlayTableImp::GetSeatFromSeatCode(int16_t deskno, int16_t seatCode) {
  if (deskno < 0 || seatCode < 0) return -1;
  if (m_settings.doubleStyle && seatCode >= m_settings.seatsPerTable) {
    return static_cast<int16_t>(seatCode - m_settings.seatsPerTable);
  }
  return seatCode;
}

void CVyrPokePlayTableImp::ShowSeatPerson(int16_t loc) {
  const int16_t seat = loc == 0 ? GetMySeatNo() : GetSeatNoFromLoc(loc);
  const TablePerson* me = GetMe();
  TablePerson* person = FindPersonAt(me ? me->deskno : -1, seat, kStatusPlaying);
  if (person && m_display) m_display->SetPersonLocation(loc, GetPersonIcon(person), person);
}
