#!/usr/bin/python3
# Writes the rows of a table made by generate --table (Numero;Data;Ora;Campo;Casa;Ospite) as the
# workbooks federations give, with dates and times as cells of those kinds:
#   bench/workbooks.py TABLE.csv OUT.xlsx|OUT.ods|OUT.xls [ROWS]
# (Debian's python3-openpyxl, python3-odf, python3-xlwt). ROWS keeps the first so many rows: an
# .xls sheet holds 65,536 rows at most.
import csv
import datetime
import sys

table, out = sys.argv[1], sys.argv[2]
limit = int(sys.argv[3]) if len(sys.argv) > 3 else None
with open(table, newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f, delimiter=";"))
header, body = rows[0], rows[1:limit + 1 if limit else None]


def values(row):
    day, month, year = (int(x) for x in row[1].split("/"))
    hour, minute = (int(x) for x in row[2].split(":"))
    return [int(row[0]), datetime.date(year, month, day), datetime.time(hour, minute)] + row[3:]


if out.endswith(".xlsx"):
    import openpyxl
    from openpyxl.cell import WriteOnlyCell
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Gare")
    sheet.append(header)
    for row in body:
        cells = []
        for i, value in enumerate(values(row)):
            cell = WriteOnlyCell(sheet, value=value)
            if i == 1:
                cell.number_format = "DD/MM/YYYY"
            elif i == 2:
                cell.number_format = "HH:MM"
            cells.append(cell)
        sheet.append(cells)
    book.save(out)
elif out.endswith(".xls"):
    import xlwt
    book = xlwt.Workbook()
    sheet = book.add_sheet("Gare")
    styles = [xlwt.Style.default_style, xlwt.easyxf(num_format_str="DD/MM/YYYY"),
              xlwt.easyxf(num_format_str="HH:MM")]
    for c, name in enumerate(header):
        sheet.write(0, c, name)
    for r, row in enumerate(body, start=1):
        for c, value in enumerate(values(row)):
            sheet.write(r, c, value, styles[c] if c < 3 else styles[0])
    book.save(out)
elif out.endswith(".ods"):
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableRow, TableCell
    from odf.text import P
    document = OpenDocumentSpreadsheet()
    sheet = Table(name="Gare")

    def text_cell(text):
        cell = TableCell(valuetype="string")
        cell.addElement(P(text=str(text)))
        return cell

    line = TableRow()
    for name in header:
        line.addElement(text_cell(name))
    sheet.addElement(line)
    for row in body:
        number, day, time = values(row)[:3]
        line = TableRow()
        line.addElement(TableCell(valuetype="float", value=number))
        line.addElement(TableCell(valuetype="date", datevalue=day.isoformat()))
        line.addElement(TableCell(valuetype="time", timevalue=time.strftime("PT%HH%MM00S")))
        for text in row[3:]:
            line.addElement(text_cell(text))
        sheet.addElement(line)
    document.spreadsheet.addElement(sheet)
    document.save(out)
else:
    sys.exit("workbooks.py: the output must end in .xlsx, .ods or .xls")
