# Formats the start-up watch's lines from several display servers as one
# Markdown table, then the ratios against their goals.
# Input, one line per window and server: SESSION <tab> WINDOW <tab> MS <tab> MIB <tab> DRIVER
# Variables: runs; x11, weston, sway (the session names); program, shipped,
# driverless (the window names). On X11 Qt loads no driver for a plain window,
# so there the window as shipped stands for the one that loads no driver.
BEGIN { FS = "\t" }
{
  order[++rows] = $1 SUBSEP $2
  session[rows] = $1; window[rows] = $2
  ms[$1, $2] = $3; mib[$1, $2] = $4; driver[$1, $2] = $5
}
function ratio(a, b) { return (a == "" || b == "" || b == 0) ? "–" : sprintf("%.2f", a / b) }
function baseline(s) { return ((s, driverless) in ms) ? driverless : shipped }
function row(name, x, w, y, goal) { printf "| %s | %s | %s | %s | %s |\n", name, x, w, y, goal }
END {
  printf "| session | window | start until first buffer (median of %d) | peak resident memory then (median) | graphics driver mapped |\n", runs
  print "|---|---|---|---|---|"
  for (i = 1; i <= rows; i++)
    printf "| %s | %s | %.1f ms | %.1f MiB | %s |\n", session[i], window[i], ms[order[i]], mib[order[i]], driver[order[i]]
  print ""
  printf "| ratio | %s | %s | %s | goal |\n", x11, weston, sway
  print "|---|---|---|---|---|"
  row("peak memory: Taborvane here / Taborvane on X11", "–",
      ratio(mib[weston, program], mib[x11, program]), ratio(mib[sway, program], mib[x11, program]), "≤ 1.2")
  row("start-up: Taborvane / the empty window that loads no driver",
      ratio(ms[x11, program], ms[x11, baseline(x11)]), ratio(ms[weston, program], ms[weston, baseline(weston)]),
      ratio(ms[sway, program], ms[sway, baseline(sway)]), "≤ 1.2 on Wayland")
  row("peak memory: Taborvane / the empty window that loads no driver",
      ratio(mib[x11, program], mib[x11, baseline(x11)]), ratio(mib[weston, program], mib[weston, baseline(weston)]),
      ratio(mib[sway, program], mib[sway, baseline(sway)]), "–")
  row("start-up: Taborvane / the empty window as shipped", ratio(ms[x11, program], ms[x11, shipped]),
      ratio(ms[weston, program], ms[weston, shipped]), ratio(ms[sway, program], ms[sway, shipped]), "–")
  row("peak memory: Taborvane / the empty window as shipped", ratio(mib[x11, program], mib[x11, shipped]),
      ratio(mib[weston, program], mib[weston, shipped]), ratio(mib[sway, program], mib[sway, shipped]), "–")
}
