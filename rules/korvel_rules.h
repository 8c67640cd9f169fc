// The rules engine core: include this to drive the two-player rules object.
#pragma once
#include "fan_table.h"
#include "two_player_rules.h"
#include "meld_group.h"
#include "mj_gb.h"
#include "rules_enums.h"
#include "tile.h"
#include "win_search.h"
