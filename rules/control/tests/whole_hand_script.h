// One whole two-player hand as the client drives the Arithmetic control, step by step, with the
// events each step must fire in order. The native glue test and the test of the control under
// Wine both play it, so the COM layer is held to exactly the sequence the glue produces.
//
// Events are written as "Send1 Listen0 Chi1 Peng0 Gang1 Hu0 Guo1" for LightSend(1) ...
// LightGuo(1), "AutoGuo", "AutoSendOnTing", "AutoHu" and "Sound(2,7)" for PlaySound(2, 7).
// Tiles use the rules tests' notation ("23m 55p 1d").
#pragma once
#include <cstdint>

enum class HandStepKind {
  Deal,      // AddCardsToMyHand with the tiles
  Draw,      // AddCardsToMyHand with one tile
  Discard,   // SetRecvCards(loc, -1, -1, 1, tile)
  Chow,      // GetEatNum >= 1, GetEatCards(0) gives `offer`; then ExposeCard(0, 1, tiles)
  Pung,      // GetPengCards gives `offer`; then ExposeCard(0, 1, tiles)
  Kong,      // GetGangNum >= 1, GetGangCards(0) gives `offer` and `kind`; then ExposeCard(0, meld)
  AfterKong, // SetCardAfterGang(tile)
  Declare,   // IsDeclareListen gives 1; then SetTingStatus(1)
  IsHu,      // IsHuPai gives 1
};

struct HandStep {
  HandStepKind kind;
  int16_t loc;         // Discard: the seat; Kong: the MeldKind
  const char* tiles;
  const char* events;  // fired by the step, in order
  const char* offer;   // Chow/Pung/Kong: the tiles the engine hands out, in its order
  int16_t kong_kind;   // Kong: the KongKind reported
};

// Seat 0 is dealt 13 tiles and is not the banker. It chows, pungs, makes a kong on a discard,
// declares a ready hand (the opponent's next discard is passed for it, its next draw is
// discarded for it) and wins on its own draw with 1d 1d 2p 3p 4p.
inline constexpr HandStep kWholeHand[] = {
    {HandStepKind::Deal, 0, "23m 55p 777s 11d 23p 9m 4w",
     "Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen0", "", 0},
    {HandStepKind::Discard, 1, "1m", "Sound(0,1) Chi1 Peng0 Gang0 Hu0 Listen0 Guo1", "", 0},
    {HandStepKind::Chow, 0, "1m 2m 3m", "Listen0", "3m 2m 1m", 0},
    {HandStepKind::Discard, 0, "9m", "Sound(0,9) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen0", "", 0},
    {HandStepKind::Discard, 1, "5p", "Sound(1,5) Chi0 Peng1 Gang0 Hu0 Listen0 Guo1", "", 0},
    {HandStepKind::Pung, 0, "5p 5p 5p", "Listen0", "5p 5p 5p", 0},
    // 777s 11d 23p is ready: the own discard lights the ready-hand button.
    {HandStepKind::Discard, 0, "4w", "Sound(3,4) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen1", "", 0},
    {HandStepKind::Discard, 1, "7s", "Sound(2,7) Chi0 Peng1 Gang1 Hu0 Listen1 Guo1", "", 0},
    {HandStepKind::Kong, 5, "7s 7s 7s 7s", "Listen0", "7s 7s 7s 7s", 2},
    {HandStepKind::Draw, 0, "9p", "Gang0 Hu0 Send1 Guo0 Listen0", "", 0},
    {HandStepKind::AfterKong, 0, "9p", "", "", 0},
    {HandStepKind::Discard, 0, "9p", "Sound(1,9) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen1", "", 0},
    {HandStepKind::AfterKong, 0, "", "", "", 0},
    {HandStepKind::Declare, 0, "", "", "", 0},
    // Ready hand declared: a discard that does not win is passed, a draw that neither wins
    // nor makes a kong is discarded, and nothing else is fired.
    {HandStepKind::Discard, 1, "6m", "Sound(0,6) Chi0 Peng0 Gang0 Hu0 AutoGuo", "", 0},
    {HandStepKind::Draw, 0, "8s", "Gang0 Hu0 AutoSendOnTing", "", 0},
    {HandStepKind::Discard, 0, "8s", "Sound(2,8) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen0", "", 0},
    {HandStepKind::Draw, 0, "4p", "Gang0 Hu1 Send1 Guo0 Listen0", "", 0},
    {HandStepKind::IsHu, 0, "", "AutoHu", "", 0},
};

// The concealed tiles left at the win and the winning tile.
inline constexpr const char* kWholeHandWin = "4p";
