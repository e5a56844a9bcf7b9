chr_animate A1_intro01 ai2_BOSS_BATTLE
ai2_showintersections(dum_train_throw)
_x9 __ 0x1F 12.e5 1e 7D+3 func_ AI2_ int8 été “quote”
