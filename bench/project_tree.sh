# Sourced by the archive benchmarks: copy_project_tree DEST N puts N copies of the project's tracked files
# under DEST/copy01 ... (the same data for our program and for the tool it is measured against).
copy_project_tree() {
  local dest=$1 copies=$2 list
  list=$(mktemp)
  mkdir -p "$dest"
  ( cd "$root" && git ls-files -z ) > "$list"
  for i in $(seq -w 1 "$copies"); do
    mkdir -p "$dest/copy$i"
    ( cd "$root" && xargs -0 cp --parents -t "$dest/copy$i" < "$list" )
  done
  rm -f "$list"
}
