# Writes a generated address book to standard output, and its display
# lines (one per number as the fax dialog shows it, one per person without
# numbers as the address book dialog shows it, one per group) to the file
# named by `lines`.
#   awk -v shape=ordinary|reverse|huge-group|empty -v persons=N -v lines=FILE -f generate_book.awk
# ordinary:   two numbers each, names and companies drawn from short lists,
#             a note for every fourth person, a group of 50 for every 500
#             persons (every tenth person's first number)
# reverse:    two numbers each, names in descending order
# huge-group: one number each, one group of every person's number
# empty:      persons with no field and no number, no group
# Park and Miller's generator: its products stay exact in awk's doubles.
function next_random() {
    seed = (seed * 16807) % 2147483647
    return seed
}
function pick(list, count) { return list[int(next_random() / 256) % count + 1] }
function number_text() { return sprintf("+49 30 %07d", next_random() % 10000000) }
BEGIN {
    seed = 2024
    nf = split("Anna Bruno Clara David Emma Felix Greta Hans Ida Jonas Karin Lukas Maria Nils " \
               "Olga Paul Rita Simon Tina Uwe Vera Walter Xenia Yusuf Zoe Andrea Bernd Carla " \
               "Dieter Elke Frank Gabi Heike Ingo Jutta Klaus Lena Moritz Nina Otto", first, " ")
    nl = split("Müller Schmidt Schneider Fischer Weber Meyer Wagner Becker Schulz Hoffmann " \
               "Schäfer Koch Bauer Richter Klein Wolf Schröder Neumann Schwarz Zimmermann " \
               "Braun Krüger Hofmann Hartmann Lange Schmitt Werner Krause Meier Lehmann " \
               "Schmid Schulze Maier Köhler Herrmann König Walter Mayer Huber Kaiser " \
               "Fuchs Peters Lang Scholz Möller Weiß Jung Hahn Schubert Vogel Friedrich " \
               "Keller Günther Frank Berger Winkler Roth Beck Lorenz Baumann", last, " ")
    nc = split("Acme Logistics|Nordlicht GmbH|Keller & Söhne|Bauhaus Print|Elbe Shipping|" \
               "Rhein Consult|Alpen Dental|Stadtwerke Ost|Meyer Law|Sonne Travel", company, "|")
    nd = split("Sales|Accounts|Purchasing||", department, "|")
    # The texts are UTF-8 here; the book holds 8-bit text, so convert.
    for (i = 1; i <= nl; ++i) last[i] = latin1(last[i])
    for (i = 1; i <= nc; ++i) company[i] = latin1(company[i])
    printf "" > lines
    members = ""
    groups = 0
    for (p = 0; p < persons; ++p) {
        if (shape == "empty") {
            printf ",,,,,,,\n"
            print "" > lines
            continue
        }
        if (shape == "reverse") {
            fn = "Ann"
            ln = sprintf("Person%07d", persons - p)
        } else if (shape == "huge-group") {
            fn = "F" p
            ln = "L"
        } else {
            fn = pick(first, nf)
            ln = pick(last, nl)
        }
        co = shape == "huge-group" ? "" : pick(company, nc)
        de = shape == "huge-group" ? "" : pick(department, nd)
        count = shape == "huge-group" ? 1 : 2
        no = shape == "ordinary" && p % 4 == 0 ? "Call before sending\\, not after 6" : ""
        printf ",%s,%s,,%s,%s,%s", fn, ln, escape(co), de, no
        for (n = 0; n < count; ++n) {
            number = number_text()
            printf ",%s,%s", number, n ? "home" : "office"
            print ln ", " fn "\t" number > lines
        }
        printf "\n"
        if (shape == "huge-group") members = members "," p ".0"
        if (shape == "ordinary" || shape == "reverse") {
            if (p % 10 == 0) {
                if (p % 500 == 0) {
                    if (members != "") group_line[++groups] = members
                    members = sprintf("Group %d", groups + 1)
                }
                members = members "," p ".0"
            }
        }
    }
    printf "\f"
    if (shape == "huge-group") {
        print "Everyone" members
        print "[Everyone]" > lines
    } else if (shape == "ordinary" || shape == "reverse") {
        if (members != "") group_line[++groups] = members
        for (g = 1; g <= groups; ++g) {
            print group_line[g]
            split(group_line[g], name, ",")
            print "[" name[1] "]" > lines
        }
    }
}
function escape(text) { gsub(/,/, "\\,", text); return text }
# UTF-8 to 8-bit Windows-1252 for the few letters the lists use.
function latin1(text) {
    gsub(/ü/, "\374", text); gsub(/ä/, "\344", text); gsub(/ö/, "\366", text)
    gsub(/ß/, "\337", text); gsub(/Ö/, "\326", text)
    return text
}
