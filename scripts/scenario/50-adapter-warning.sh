# The adapter warning for real: with the adapter reported weak (state 2), an unlock runs
# keywatch's adapter check, which starts adaptalert; its popup "Orvo slidecard" appears beside
# the taskbar and is saved as a screenshot beside the transcript.
say "Adapter warning: keywatch starts adaptalert, the popup appears"

# Earlier steps may have left a popup up; it closes by itself within seconds.
for _ in $(seq 1 100); do popup_geometry >/dev/null || break; sleep 0.1; done
sim answer 145 "02 00 00 00"
send_message session 7
send_message session 8
show_new_codes
geometry=""
for _ in $(seq 1 100); do
  geometry=$(popup_geometry) && break
  sleep 0.1
done
if [ -z "$geometry" ]; then
  note "no popup window \"Orvo slidecard\" appeared"
else
  read -r px py pw ph <<<"$geometry"
  note "popup \"Orvo slidecard\" at ($px, $py), ${pw} x ${ph}"
  sleep 0.8  # the fade-in
  screenshot="$RUN_DIR/adapter-warning.png"
  if import -window root -crop "${pw}x${ph}+${px}+${py}" "$screenshot" 2>/dev/null; then
    note "screenshot: $screenshot"
  else
    note "screenshot failed"
  fi
  for _ in $(seq 1 120); do popup_geometry >/dev/null || break; sleep 0.1; done
  popup_geometry >/dev/null && note "the popup is still up after 12 s" || note "the popup faded out and closed by itself"
fi
show_new_starts
