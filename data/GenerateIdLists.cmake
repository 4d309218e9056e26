# Writes the overlay fragment of the ID and talk-group pick lists (cmake -P).
#   OUTPUT  the fragment file to write
#
# Each list is a pop-up that shows the entries in use through its loop, and
# behind it every entry the list can hold (500), written out under a
# "Never" directive: the sheet leaves those rows out, while a number typed
# into a cell of the list is matched against the written-out entries (the
# matching reads the list's lines as they stand, without loops).
#
# One row of the table per list: key; loop; row-number label; category;
# ID label; name label; heading of the ID column (fields separated by '|').

if(NOT OUTPUT)
    message(FATAL_ERROR "GenerateIdLists.cmake needs OUTPUT")
endif()

set(entries 500)
set(lists
    "GI_Sheet_Sel_IndList|Ind List|Flex_InvIDList_ChNo|CT_DIG_Inv|CL_Digi_Ind_Id_Dec|CL_Digi_Ind_Id_Name|ID"
    "GI_Sheet_Sel_IndList_ZEPH|ZEPH Ind List|Flex_InvIDList_ZEPH_ChNo|CT_ZEPH_Inv|CL_ZEPH_Ind_Id_Dec|CL_ZEPH_Ind_Id_Name|ID"
    "GI_Sheet_Sel_IndList_Multisite|Multisite Ind List|Flex_InvIDList_Multisite_ChNo|CT_Multisite_Inv|CL_Multisite_Ind_Id_Dec|CL_Multisite_Ind_Id_Name|ID"
    "GI_Sheet_Sel_DIG_INDList_ZEPH|ZEPH Ind List|Flex_InvIDList_ZEPH_ChNo|CT_ZEPH_Inv|CL_ZEPH_Ind_Id_Dec|CL_ZEPH_Ind_Id_Name|ID"
    "GI_Sheet_Sel_DIG_INDList_Multisite|Multisite Ind List|Flex_InvIDList_Multisite_ChNo|CT_Multisite_Inv|CL_Multisite_Ind_Id_Dec|CL_Multisite_Ind_Id_Name|ID"
    "GI_Sheet_Sel_TGList|TG List|Flex_TgIDList_ChNo|CT_DIG_Tg|CL_Digi_Grp_Id_Dec|CL_Digi_Grp_Id_Name|Talk group"
    "GI_Sheet_Sel_TGList_ZEPH|ZEPH TG List|Flex_TgIDList_ZEPH_ChNo|CT_ZEPH_Tg|CL_ZEPH_Grp_Id_Dec|CL_ZEPH_Grp_Id_Name|Talk group"
    "GI_Sheet_Sel_TGList_Multisite|Multisite TG List|Flex_TgIDList_Multisite_ChNo|CT_Multisite_Tg|CL_Multisite_Grp_Id_Dec|CL_Multisite_Grp_Id_Name|Talk group")

set(text "")
foreach(row IN LISTS lists)
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 key)
    list(GET fields 1 loop)
    list(GET fields 2 number)
    list(GET fields 3 category)
    list(GET fields 4 id)
    list(GET fields 5 name)
    list(GET fields 6 heading)
    string(APPEND text "#${key}_Style\n(FixedRows=1)(NoPrint)\n#${key}_BasicCell\n{($List)}\n#${key}_Cells\n")
    string(APPEND text "{($Head)!S}No.|{($Head)!S}${heading}|{($Head)!S}Name\n:(${loop})\n")
    string(APPEND text "{>(%${number}[0])}|{!ST>(%${category}.${id}[0])}|{!ST(%${category}.${name}[0])}\n:(End)\n")
    string(APPEND text ":(Never ${entries})\n")
    math(EXPR last "${entries} - 1")
    foreach(i RANGE 0 ${last})
        math(EXPR shown "${i} + 1")
        string(APPEND text "{(%${number}[${i}])}${shown}\n")
    endforeach()
endforeach()
string(APPEND text "#\n")

set(partial "${OUTPUT}.part")
file(WRITE ${partial} "${text}")
file(RENAME ${partial} ${OUTPUT})
