# Source from a command that runs our programs: sets the machine up, builds
# everything, and leaves the environment and an X display in place.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
source "$root/tools/env.sh"
source "$root/tools/display.sh"
