#!/usr/bin/env bash
# Regenerates the sample drawings and ship files in samples/ (same bytes on
# every machine). Usage: scripts/make-samples.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"
brelund_install_deps

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" --target brelund-calc brelund-make-samples -j "$jobs" >/dev/null

cd "$root/samples"
"$root/build/samples/generator/brelund-make-samples" .
calc="$root/build/src/cli/brelund-calc"
rm -f wigley.nav barge.nav submarine.nav
{
  # Wigley hull with an engine room and two partly loaded tanks.
  "$calc" add wigley.nav hull wigley.dxf --name scafo
  "$calc" add wigley.nav compartment wigley-engine-room.dxf --name "sala macchine"
  # A flooded engine room: faces turned inwards, so that its volume times
  # the permeability is lost buoyancy.
  "$calc" edit wigley.nav "sala macchine" --permeability 0.85
  "$calc" invert wigley.nav "sala macchine"
  "$calc" add wigley.nav tank wigley-tank-aft.dxf --name "cassa 1"
  "$calc" edit wigley.nav "cassa 1" --specific-weight 850 --filling 0.5
  "$calc" add wigley.nav tank wigley-tank-fore.dxf --name "cassa 2"
  "$calc" edit wigley.nav "cassa 2" --specific-weight 1000 --load-volume 21.6
  # Box barge from polyface quadrilaterals, with a tank.
  "$calc" add barge.nav hull barge.dxf --name scafo
  "$calc" add barge.nav tank barge-tank.dxf --name "cassa 1"
  "$calc" edit barge.nav "cassa 1" --specific-weight 950 --filling 0.4
  # The fore peak and a starboard room, disabled (the intact barge has no
  # use for them): the damage cases of barge.conditions.json open them.
  "$calc" add barge.nav compartment barge-fore-peak.dxf --name "gavone di prua"
  "$calc" edit barge.nav "gavone di prua" --enabled 0
  "$calc" add barge.nav compartment barge-starboard-room.dxf --name "locale di dritta"
  "$calc" edit barge.nav "locale di dritta" --enabled 0 --permeability 0.95
  # Submerged body of revolution with two tanks.
  "$calc" add submarine.nav hull submarine.dxf --name scafo
  "$calc" add submarine.nav tank submarine-tank-aft.dxf --name "cassa poppa"
  "$calc" edit submarine.nav "cassa poppa" --specific-weight 1025 --filling 0.6
  "$calc" add submarine.nav tank submarine-tank-fore.dxf --name "cassa prua"
  "$calc" edit submarine.nav "cassa prua" --specific-weight 1025 --filling 0.3
} >/dev/null
for ship in wigley barge submarine; do
  echo "== samples/$ship.nav"
  "$calc" list "$ship.nav"
done
