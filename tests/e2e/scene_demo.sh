#!/usr/bin/env bash
# demo shows the moving scene and ends on a 31-pixel mouse move with exit 0.
exec bash "$(dirname "$0")/scene_shows.sh" "${DEMO:?DEMO names the demo program}"
