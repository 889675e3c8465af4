# Reads a batch-built continuum: its stimulus table, its sound and its TextGrid, and
# measures each stimulus's first formant, next to the F1 the document gave it.
#
#   vocanta-cli batch men_ih_eh_f1_continuum.vta -o cont.wav --textgrid
#   praat --run measure_f1.praat cont.stimuli.csv cont.TextGrid
#
# With a split series (--split DIR) give the table alone; each row names its own file.
form Measure F1 of a continuum
  sentence Table_file cont.stimuli.csv
  sentence TextGrid_file
  positive Maximum_formant_(Hz) 5000
endform

table = Read Table from comma-separated file: table_file$
folder$ = replace_regex$ (table_file$, "[^/]*$", "", 1)
rows = Get number of rows
columns = Get number of columns
# The first column after the label that holds a point's value in Hz.
valueColumn = 0
for c from 8 to columns
  label$ = Get column label: c
  if valueColumn = 0 and endsWith (label$, "_Hz")
    valueColumn = c
  endif
endfor

if textGrid_file$ <> ""
  grid = Read from file: textGrid_file$
  intervals = Get number of intervals: 1
  if intervals <> rows
    exitScript: "The TextGrid has ", intervals, " intervals, the table ", rows, " rows."
  endif
endif

writeInfoLine: "index", tab$, "label", tab$, "nominal_F1", tab$, "measured_F1", tab$, "start_s", tab$, "end_s"
currentFile$ = ""
for row to rows
  selectObject: table
  file$ = Get value: row, "file"
  label$ = Get value: row, "label"
  start = Get value: row, "start_s"
  length = Get value: row, "length_s"
  nominal$ = "-"
  if valueColumn > 0
    columnLabel$ = Get column label: valueColumn
    nominal$ = Get value: row, columnLabel$
  endif
  if textGrid_file$ <> ""
    selectObject: grid
    gridStart = Get start time of interval: 1, row
    gridLabel$ = Get label of interval: 1, row
    if abs (gridStart - start) > 1e-9 or gridLabel$ <> label$
      exitScript: "Row ", row, " and the TextGrid's interval differ."
    endif
  endif
  if file$ <> currentFile$
    if currentFile$ <> ""
      removeObject: sound
    endif
    sound = Read from file: folder$ + file$
    currentFile$ = file$
  endif
  selectObject: sound
  # The middle half of each stimulus: clear of the onset and the offset.
  part = Extract part: start + length / 4, start + 3 * length / 4, "rectangular", 1, "no"
  formant = To Formant (burg): 0, 5, maximum_formant, 0.025, 50
  f1 = Get mean: 1, 0, 0, "hertz"
  appendInfoLine: row, tab$, label$, tab$, nominal$, tab$, fixed$ (f1, 1), tab$, fixed$ (start, 3), tab$, fixed$ (start + length, 3)
  removeObject: part, formant
endfor
