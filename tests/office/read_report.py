#!/usr/bin/python3
"""Reads a report back with independent readers and prints it one item per line, fields
separated by tabs:
  docx: P align font eastAsiaFont size text | T rows cols alignment width1..width5 | R cell...
  xlsx: S sheet names | M merged ranges | C row column type value
Exit 3 when a reader library is missing."""
import sys

def docx_dump(path):
    import docx
    from docx.oxml.ns import qn
    from docx.table import Table
    from docx.text.paragraph import Paragraph
    document = docx.Document(path)
    for child in document.element.body.iterchildren():
        if child.tag == qn('w:p'):
            p = Paragraph(child, document)
            run = p.runs[0] if p.runs else None
            fonts = run._element.rPr.rFonts if run is not None and run._element.rPr is not None else None
            print('\t'.join(['P', str(p.alignment),
                             run.font.name if run is not None else '',
                             fonts.get(qn('w:eastAsia')) if fonts is not None else '',
                             str(run.font.size.pt) if run is not None and run.font.size else '',
                             p.text]))
        elif child.tag == qn('w:tbl'):
            t = Table(child, document)
            print('\t'.join(['T', str(len(t.rows)), str(len(t.columns)), str(t.alignment)] +
                            [str(c.width.pt) for c in t.columns]))
            for row in t.rows:
                print('\t'.join(['R'] + [c.text for c in row.cells]))

def xlsx_dump(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    print('\t'.join(['S'] + book.sheetnames))
    sheet = book.worksheets[0]
    print('\t'.join(['M'] + sorted(str(r) for r in sheet.merged_cells.ranges)))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                print('\t'.join(['C', str(cell.row), str(cell.column), cell.data_type, str(cell.value)]))

if __name__ == '__main__':
    try:
        (docx_dump if sys.argv[1] == 'docx' else xlsx_dump)(sys.argv[2])
    except ImportError as e:
        print(e, file=sys.stderr)
        sys.exit(3)
