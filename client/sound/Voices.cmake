# The chat voice phrases: every voice the table hands out (voice set 27, ids 10 to 40, men and
# women) speaks the same few phrases. A file is named
#   v <voiceSet> <voiceId> <sex> <voiceKind> <phrase character> <phrase number> .wav
# so the first phrase of the first man's voice is v271013a1.wav.
#
# Voices: "voiceId|sex|voiceKind|speech synthesiser voice|pitch"
set(QUELLOR_VOICE_SET 27)
set(QUELLOR_VOICES
  "10|1|3|cmn+m1|40"
  "20|1|3|cmn+m3|30"
  "30|1|3|cmn+m5|50"
  "40|1|3|cmn+m7|20"
  "10|0|2|cmn+f1|60"
  "20|0|2|cmn+f2|70"
  "30|0|2|cmn+f3|55"
  "40|0|2|cmn+f4|65"
)
# Phrases: "character|number|text"
set(QUELLOR_PHRASES
  "a|1|大家好！"
  "a|2|快一点吧！"
  "a|3|打得漂亮！"
  "a|4|合作愉快！"
  "a|5|我先走了，再见！"
)

# The file names of all phrases, in QUELLOR_VOICE_FILES.
set(QUELLOR_VOICE_FILES)
foreach(voice IN LISTS QUELLOR_VOICES)
  string(REPLACE "|" ";" v "${voice}")
  list(GET v 0 voiceId)
  list(GET v 1 sex)
  list(GET v 2 kind)
  foreach(phrase IN LISTS QUELLOR_PHRASES)
    string(REPLACE "|" ";" p "${phrase}")
    list(GET p 0 code)
    list(GET p 1 number)
    list(APPEND QUELLOR_VOICE_FILES "v${QUELLOR_VOICE_SET}${voiceId}${sex}${kind}${code}${number}.wav")
  endforeach()
endforeach()
