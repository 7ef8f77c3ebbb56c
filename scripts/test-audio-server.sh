# Sourced by test.sh: a private PulseAudio server with a null sink "spk" and a loopback
# source "mic" that records what is played, so the real audio path can be tested without
# a sound card.
start_test_audio_server() {
  command -v pulseaudio >/dev/null || return 1
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse.sock
  pulseaudio -D -n --exit-idle-time=-1 --use-pid-file=yes \
    --load="module-native-protocol-unix socket=$XDG_RUNTIME_DIR/pulse.sock auth-anonymous=1" \
    --load="module-null-sink sink_name=spk sink_properties=device.description=NullSpeaker" \
    --load="module-remap-source source_name=mic master=spk.monitor source_properties=device.description=LoopMic" \
    2>/dev/null || { unset PULSE_SERVER; return 1; }
  pactl set-default-sink spk && pactl set-default-source mic || { unset PULSE_SERVER; return 1; }
  # A fresh null sink stalls on first use; a short-lived low-latency stream and one suspend cycle wake it.
  pacat -p -d spk --latency-msec=20 --rate=8000 --channels=1 --format=s16le /dev/zero &
  KELVORA_PACAT_PID=$!
  sleep 0.3
  pactl suspend-sink spk 1; pactl suspend-sink spk 0
  export KELVORA_TEST_AUDIO=1
}

stop_test_audio_server() {
  [ -n "${KELVORA_PACAT_PID:-}" ] && kill "$KELVORA_PACAT_PID" 2>/dev/null
  [ -n "${PULSE_SERVER:-}" ] && pulseaudio -k 2>/dev/null
  return 0
}
